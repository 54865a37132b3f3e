#!/usr/bin/env bash
# Runs one golden scenario and compares every output byte for byte with the
# recorded one. A screen that changes on purpose is recorded anew with
#   tests/golden/check.sh --update build/bin/scenario-run NAME...
# and the new files are committed together with the change that explains them.
set -euo pipefail
update=0
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
runner=$1; shift
here=$(cd "$(dirname "$0")" && pwd)
status=0
for name in "$@"; do
    program=kalorix
    case "$name" in d*) program=diffundo ;; esac
    out=$(mktemp -d)
    # A line "# scenario-run: ARGUMENTS" gives the run more arguments (a lesson).
    extra=$(sed -n 's/^# scenario-run: //p' "$here/scripts/$name.script" | head -n 1)
    # shellcheck disable=SC2086  # the arguments are split at blanks, as written
    if ! "$runner" "$program" "$here/scripts/$name.script" "$out" --timeout 60 $extra >"$out/.log" 2>&1; then
        echo "$name: scenario-run failed:"; cat "$out/.log"; status=1; rm -rf "$out"; continue
    fi
    rm -f "$out/.log"
    expected="$here/expected/$name"
    if [ $update -eq 1 ]; then
        rm -rf "$expected"; mkdir -p "$expected"; cp "$out"/* "$expected"/
        echo "$name: recorded"
    elif ! diff -r -q "$expected" "$out"; then
        echo "$name: differs from the recorded outputs in $expected"; status=1
    fi
    rm -rf "$out"
done
exit $status

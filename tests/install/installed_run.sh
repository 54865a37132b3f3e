#!/usr/bin/env bash
# Installs the build under a temporary prefix, moves the installation
# elsewhere, and checks that it holds what a desktop installation needs and
# nothing of the developers' (tests, benchmarks, tools), that the installed
# programs start, and that the programs find picture and sound there: the
# title screen drawn with the installed data directory is the one drawn in
# the build tree, and differs from one drawn without the picture.
# Usage: installed_run.sh BUILD_DIR SCENARIO_RUN SCRIPT APP_ID_PREFIX
set -euo pipefail
build=$1 runner=$2 script=$3 app_id_prefix=$4
work=$(mktemp -d)
trap 'kill "${started:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/moved"  # relocated after installing, too
prefix=$work/moved

expected=(bin/kalorix bin/diffundo
          share/kalorix-diffundo/titelbild1.jpg share/kalorix-diffundo/ding.wav share/kalorix-diffundo/fonts.bin
          share/man/man1/kalorix.1.gz share/man/man1/diffundo.1.gz
          share/doc/kalorix-diffundo/copyright share/doc/kalorix-diffundo/changelog.gz)
for program in kalorix diffundo; do
    expected+=("share/applications/$app_id_prefix.$program.desktop"
               "share/metainfo/$app_id_prefix.$program.metainfo.xml")
    for size in 16 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x$size/apps/$program.png"); done
done
for file in "${expected[@]}"; do [ -s "$prefix/$file" ] || fail "$file is not installed"; done
programs=$(cd "$prefix/bin" && ls | tr '\n' ' ')
[ "$programs" = "diffundo kalorix " ] || fail "bin/ holds \"$programs\", expected only diffundo and kalorix"
echo "ok:   ${#expected[@]} files installed, bin/ holds only the two programs"

clean_env=(env -i PATH=/usr/bin:/bin HOME="$work")
version=$("${clean_env[@]}" "$prefix/bin/kalorix" --version)
[[ "$version" == "kalorix "* ]] || fail "installed kalorix --version says \"$version\""

# The installed program on Qt's offscreen platform waits at its title screen
# until it is ended; it must still run after a while and have said nothing
# but the offscreen platform's own remark about window size hints.
for program in kalorix diffundo; do
    "${clean_env[@]}" QT_QPA_PLATFORM=offscreen "$prefix/bin/$program" >"$work/$program.out" 2>&1 </dev/null &
    started=$!
    sleep 3
    kill -0 "$started" 2>/dev/null || { cat "$work/$program.out"; fail "installed $program ended at start-up"; }
    kill "$started"
    wait "$started" 2>/dev/null || true
    started=
    if grep -v '^This plugin does not support propagateSizeHints()$' "$work/$program.out"; then
        fail "installed $program printed messages"
    fi
done
echo "ok:   the installed programs start headless and stay quiet"

mkdir "$work/empty"
for place in build installed empty; do
    case $place in
        build) dir=$(dirname "$runner") ;;
        installed) dir=$prefix/bin ;;
        empty) dir=$work/empty ;;
    esac
    "$runner" kalorix "$script" "$work/$place" --program-dir "$dir" --timeout 60 >"$work/$place.log" 2>&1 ||
        { cat "$work/$place.log"; fail "scenario-run from the $place directory failed"; }
done
cmp -s "$work/build/title.png" "$work/installed/title.png" ||
    fail "the title screen drawn with the installed data differs from the build tree's"
cmp -s "$work/build/title.png" "$work/empty/title.png" &&
    fail "the title screen is the same without the picture: the comparison shows nothing"
grep -q '"kind":"sound","file":"ding.wav"}' "$work/installed/transcript.jsonl" ||
    fail "the installed run did not find the bell"
grep -q '"kind":"sound","file":"ding.wav","missing":true}' "$work/empty/transcript.jsonl" ||
    fail "a run without the bell did not report it missing"
echo "ok:   the installed data directory gives the title picture and the bell"

if command -v appstreamcli >/dev/null; then
    appstreamcli validate-tree --no-net "$prefix" || fail "appstreamcli validate-tree found problems"
fi

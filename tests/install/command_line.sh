#!/usr/bin/env bash
# The real executables, started with a cleaned environment (no display, no
# session), answer the command line before any window: --help and --version
# on standard output, a wrong argument and a start without display on
# standard error, each with its exit code.
# Usage: command_line.sh KALORIX DIFFUNDO VERSION
set -uo pipefail
declare -A executable=([kalorix]=$1 [diffundo]=$2)
version=$3
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT

# program | arguments | extra environment | exit code | stream | text that must appear
rows=(
    "kalorix|--help||0|out|Aufruf: kalorix [Option]"
    "kalorix|-h||0|out|-v, --version"
    "kalorix|--version||0|out|kalorix $version"
    "diffundo|--help||0|out|Aufruf: diffundo [Option]"
    "diffundo|-v||0|out|diffundo $version"
    "kalorix|--gibt-es-nicht||2|err|kalorix: unbekannte Option „--gibt-es-nicht“"
    "diffundo|-platform offscreen||2|err|diffundo: unbekannte Option „-platform“"
    "kalorix|eingabe.txt||2|err|kalorix: unerwartetes Argument „eingabe.txt“"
    "kalorix|--help=1||2|err|kalorix: die Option „--help“ nimmt keinen Wert an"
    "diffundo|-v=ja||2|err|diffundo: die Option „-v“ nimmt keinen Wert an"
    "kalorix|--help||0|out|--werte <Zahlen>"
    "diffundo|--help||0|out|--tempo <Schritte>"
    "kalorix|--werte 300,700,200,0,0.4,2 --analyse experiment --ohne-titel||1|err|kalorix: Kein Bildschirm gefunden"
    "diffundo|--werte=40 --modus sortiert --tempo voll --sofort||1|err|diffundo: Kein Bildschirm gefunden"
    "kalorix|--werte 300,viel||2|err|kalorix: „--werte“: „viel“ ist keine Zahl"
    "kalorix|--werte 1 --werte 2||2|err|kalorix: „--werte“ steht mehr als einmal da"
    "kalorix|--analyse Theorie||2|err|kalorix: „--analyse“ ist experiment, theorie oder keine, nicht „Theorie“"
    "kalorix|--tempo 5||2|err|kalorix: unbekannte Option „--tempo“"
    "diffundo|--sofort=ja||2|err|diffundo: die Option „--sofort“ nimmt keinen Wert an"
    "kalorix|--werte||2|err|kalorix: die Option „--werte“ braucht einen Wert"
    "kalorix|||1|err|kalorix: Kein Bildschirm gefunden"
    "diffundo|||1|err|diffundo: Kein Bildschirm gefunden"
    "kalorix||DISPLAY=:4711|1|err|kalorix: Der Bildschirm lässt sich nicht öffnen"
)

status=0
for row in "${rows[@]}"; do
    IFS='|' read -r program arguments environment code stream expected <<<"$row"
    # shellcheck disable=SC2086  # arguments and environment split on blanks on purpose
    env -i PATH=/usr/bin:/bin HOME="$home" $environment "${executable[$program]}" $arguments \
        >"$home/out" 2>"$home/err" </dev/null
    got=$?
    other=out
    [ "$stream" = out ] && other=err
    problem=""
    [ "$got" -eq "$code" ] || problem="exit code $got, expected $code"
    grep -qF -- "$expected" "$home/$stream" || problem+="${problem:+; }no \"$expected\" on std$stream"
    [ -s "$home/$other" ] && problem+="${problem:+; }unexpected std$other"
    if [ "$code" -eq 1 ] && [ -z "$environment" ] && [ "$(wc -l <"$home/err")" -ne 1 ]; then
        problem+="${problem:+; }more than one line on stderr"
    fi
    if [ -n "$problem" ]; then
        echo "FAIL: $program $arguments ${environment:+($environment)}: $problem"
        sed 's/^/  out: /' "$home/out"
        sed 's/^/  err: /' "$home/err"
        status=1
    else
        echo "ok:   $program $arguments ${environment:+($environment)} -> $code"
    fi
done
exit $status

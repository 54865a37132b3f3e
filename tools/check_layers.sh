#!/usr/bin/env bash
# Checks that every #include runs the way the layers allow:
# - of our own ("..."): screens and programs see the runtime interface, never
#   the window or the scripted runtime; the Qt-free cores and the build-time
#   asset tools see nothing of ours but themselves, the cores besides the
#   Qt-free helpers every layer may use (common/numeric, common/unicode);
# - of Qt (<Q...>, <Qt...>): only the folders that may use Qt include it; the
#   cores, the programs' screens, the shared screens and the helpers never do.
# Usage: tools/check_layers.sh [SOURCE_DIR]; exit 1 with the offending lines.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# folder: the folders its files may include from, besides its own.
declare -A allowed=(
    [common/numeric]=""
    [common/unicode]=""
    [common/runtime]="common/numeric common/unicode"
    [common/lesson]="common/numeric"
    [common/desktop_output]="common/runtime common/numeric common/unicode"
    [common/window]="common/lesson common/desktop_output common/runtime common/numeric common/unicode"
    [common/scripted]="common/runtime common/numeric common/unicode"
    [common/screens]="common/lesson common/runtime common/numeric common/unicode"
    [kalorix/core]="common/numeric common/unicode"
    [diffundo/core]="common/numeric common/unicode"
    [kalorix]="kalorix/core common/lesson common/screens common/runtime common/numeric common/unicode"
    [diffundo]="diffundo/core common/lesson common/screens common/runtime common/numeric common/unicode"
    [tools/scenario_run]="common/scripted common/lesson common/desktop_output common/screens common/runtime common/numeric common/unicode"
    [common/web]="common/lesson common/runtime common/numeric common/unicode"
    [tools]="tools/scenario_run kalorix diffundo common/web common/scripted common/lesson common/desktop_output common/screens common/runtime common/numeric common/unicode"
    [assets]=""
)
# The programs' entry points alone put a program into the real window.
declare -A entry_points=([kalorix/main.cpp]="common/window" [diffundo/main.cpp]="common/window"
                         [kalorix/web_main.cpp]="common/web" [diffundo/web_main.cpp]="common/web")

# The folders whose files include no Qt header; the entry points above may.
qt_free=(common/numeric common/unicode common/lesson common/runtime common/scripted common/web common/screens kalorix/core diffundo/core kalorix diffundo)

status=0
for folder in "${!allowed[@]}"; do
    no_qt=0
    for free in "${qt_free[@]}"; do [ "$free" = "$folder" ] && no_qt=1; done
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -e "$file" ] || continue
        while IFS= read -r line; do
            included=${line#*\"}
            included=${included%\"*}
            from=$(dirname "$included")
            [ "$from" = "$folder" ] && continue
            ok=0
            for permitted in ${allowed[$folder]} ${entry_points[$file]:-}; do
                [ "$from" = "$permitted" ] && ok=1
            done
            if [ $ok -eq 0 ]; then
                echo "$file: #include \"$included\" runs against the layers"
                status=1
            fi
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" || true)
        [ $no_qt -eq 1 ] && [ -z "${entry_points[$file]:-}" ] || continue
        while IFS= read -r line; do
            included=${line#*<}
            included=${included%%>*}
            echo "$file: #include <$included>: Qt in a folder that stays free of it"
            status=1
        done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file" || true)
    done
done
[ $status -eq 0 ] && echo "layers: every include runs the intended way"
exit $status

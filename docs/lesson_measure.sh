#!/usr/bin/env bash
# CPU use of diffundo while paused and at 1 step per second, from
# /proc/PID/stat over a fixed time, and the screenshots of docs/: diffundo at
# 2 steps per second with its status line, the statistics display with the
# distance. Needs xvfb, xdotool and imagemagick.
# Usage: docs/lesson_measure.sh [SECONDS]   (run from anywhere; DISPLAY :71)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
export HOME=$(mktemp -d)
Xvfb :71 -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb; rm -rf "$HOME"' EXIT
export DISPLAY=:71
sleep 2

build/bin/diffundo >/dev/null 2>&1 &
program=$!
sleep 3
for _ in 1 2 3 4; do xdotool key Return; sleep 0.8; done   # title, quit hint, introduction, 100 atoms
sleep 2

# Jiffies of user and system time of the program.
jiffies() { awk '{print $14 + $15}' "/proc/$program/stat"; }
measure() {
    local before after
    before=$(jiffies); sleep "$seconds"; after=$(jiffies)
    awk -v d=$((after - before)) -v s="$seconds" -v hz="$(getconf CLK_TCK)" -v what="$1" \
        'BEGIN { printf "%-28s %5.2f %% of a core (%d jiffies in %d s)\n", what, 100 * d / hz / s, d, s }'
}

xdotool key ctrl+space; sleep 1                                  # paused
measure "paused"
for _ in $(seq 15); do xdotool key ctrl+minus; sleep 0.1; done   # down to 1 step per second
xdotool key ctrl+space; sleep 1                                  # running again
measure "1 step per second"
xdotool key ctrl+plus; sleep 6                                   # 2 steps per second
import -window root docs/diffundo-2-steps-per-second.png
for _ in $(seq 15); do xdotool key ctrl+plus; sleep 0.1; done    # full speed
sleep 10
xdotool mousemove 86 8 click 1; sleep 0.7                          # AUSGABE
xdotool mousemove 127 51 click 1; sleep 3                        # "Statistik zeigen"
import -window root docs/diffundo-statistics-distance.png
kill $program

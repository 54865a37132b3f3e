#!/usr/bin/env bash
# The screenshots of docs/: both programs in full screen at 1920 x 1080 under
# Xvfb, kalorix's theory and diffundo's statistics in projector colours.
# Needs xvfb, xdotool, imagemagick and openbox (full screen needs a window
# manager). Usage: xvfb-run -a -s "-screen 0 1920x1080x24" docs/screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/bin
out=docs
# A fresh home: no remembered projector colours, no dialog history.
export HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT

openbox >/dev/null 2>&1 &
sleep 1
shot() { import -window root "$out/$1"; }
# EXTRAS is the fourth title of the full-screen menu bar; y picks the entry.
extras_entry() { xdotool mousemove 200 8 click 1; sleep 0.7; xdotool mousemove 200 "$1" click 1; sleep 1.5; }
projector_entry=119

"$bin/kalorix" >/dev/null 2>&1 &
program=$!
sleep 3
xdotool key Return; sleep 0.7                                 # title screen
for _ in 1 2 3 4 5 6; do xdotool key Return; sleep 0.5; done  # quit hint, five introduction pages
for _ in 1 2 3 4 5 6; do xdotool key Return; sleep 0.5; done  # the proposed parameters
xdotool key Tab; sleep 0.3; xdotool key space; sleep 3        # "theoretische Analyse"
xdotool key F11; sleep 2
shot kalorix-fullscreen.png
extras_entry $projector_entry
shot kalorix-theory-projector.png
extras_entry $projector_entry                                 # off again: remembered for diffundo
kill $program; sleep 1

"$bin/diffundo" >/dev/null 2>&1 &
program=$!
sleep 3
for _ in 1 2 3 4; do xdotool key Return; sleep 0.7; done      # title, quit hint, introduction, 100 atoms
sleep 20                                                      # the dice run meanwhile
xdotool key F11; sleep 2
shot diffundo-fullscreen.png
extras_entry $projector_entry
xdotool mousemove 86 8 click 1; sleep 0.7                     # AUSGABE
xdotool mousemove 127 51 click 1; sleep 2                     # "Statistik zeigen"
shot diffundo-statistics-projector.png
kill $program

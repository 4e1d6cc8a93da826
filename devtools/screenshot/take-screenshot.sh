#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Takes packaging/screenshots/vortle-main.png: the panel with the sample diskette beside its
# Disk Properties window, on a 1248x702 virtual desktop under openbox. Run from the top of the
# tree after a build: devtools/screenshot/take-screenshot.sh
set -euo pipefail
work=$(mktemp -d)
export DISPLAY=:77 XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$XDG_DATA_HOME/vortle/drive_a"
cp resources/sample-disk/* "$XDG_DATA_HOME/vortle/drive_a/"
Xvfb "$DISPLAY" -screen 0 1248x702x24 -nolisten tcp & sleep 1
build/bin/vortle-screen-tools wall & sleep 0.5
openbox & sleep 1
build/bin/vortle & sleep 3
panel=$(xdotool search --name '^vrtl$' | head -1)
xdotool mousemove --window "$panel" 80 72 click 1 && sleep 1      # the disk icon: reload
xdotool mousemove --window "$panel" 80 112 click 1 && sleep 1.5   # Disk Properties
properties=$(xdotool search --name '^Disk Properties$' | head -1)
xdotool windowmove "$properties" 420 190 && xdotool windowmove "$panel" 860 150
xdotool mousemove --window "$properties" 150 30 click 1          # its Execution Link page
xdotool mousemove 1200 650 && sleep 1
build/bin/vortle-screen-tools grab packaging/screenshots/vortle-main.png

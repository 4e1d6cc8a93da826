#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Screenshots of every window of the program with the sample diskette, under a style and a
# scale (default: Adwaita-Dark at 2x, which needs adwaita-qt6), on a virtual desktop under
# openbox. Run from the top of the tree after a build:
#   devtools/screenshot/take-window-shots.sh OUTDIR [STYLE] [SCALE]
set -euo pipefail
out=$(realpath -m "$1")
style=${2:-Adwaita-Dark}
s=${3:-2}
mkdir -p "$out"
work=$(mktemp -d)
export DISPLAY=:78 XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work"
export QT_QPA_PLATFORM=xcb QT_STYLE_OVERRIDE=$style QT_SCALE_FACTOR=$s
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$XDG_DATA_HOME/vortle/drive_a"
cp resources/sample-disk/* "$XDG_DATA_HOME/vortle/drive_a/"
Xvfb "$DISPLAY" -screen 0 $((800 * s))x$((500 * s))x24 -nolisten tcp & sleep 1
build/bin/vortle-screen-tools wall & sleep 0.5
openbox & sleep 1
build/bin/vortle & sleep 5.5
grab() { # NAME X Y W H, in pixels of the design (scaled here)
    build/bin/vortle-screen-tools grab "$out/$1.png" $(($2 * s)) $(($3 * s)) $(($4 * s)) $(($5 * s))
}
click() { # WINDOW X Y SECONDS
    xdotool mousemove --window "$1" $(($2 * s)) $(($3 * s)) click 1
    sleep "$4"
}
panel=$(xdotool search --name '^vrtl$' | head -1)
xdotool windowmove "$panel" $((150 * s)) $((30 * s)) && sleep 0.5
click "$panel" 80 72 1.2                                   # the disk icon: reload
click "$panel" 80 112 2                                    # Disk Properties
properties=$(xdotool search --name '^Disk Properties$' | head -1)
xdotool mousemove 0 0
grab disk-properties 140 0 520 360
click "$properties" 150 30 1                               # its Execution Link page
xdotool mousemove 0 0
grab execution-link 140 0 520 360
click "$properties" 72 212 1.5                             # Add an action
grab action-editor 140 0 560 300
xdotool key Escape && sleep 0.7
xdotool windowactivate --sync "$properties" key Escape && sleep 0.7
click "$panel" 80 200 1.5                                  # Preferences
grab preferences 140 0 450 480
xdotool key Escape && sleep 0.7
click "$panel" 80 160 0.7                                  # Cool Stuff, Notes
xdotool key Down Down Return && sleep 1.2
grab notes 140 0 620 330
xdotool key Escape && sleep 0.7
click "$panel" 80 224 0.7                                  # Other Stuff, Info
xdotool key Down Down Down Down Return && sleep 1.2
grab info 140 0 450 420

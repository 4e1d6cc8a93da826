#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The close loop: N starts of the program, each with a new prefix and the sample diskette in
# drive A:, each sent WM_DELETE_WINDOW (what a close box sends) 1.5 to 4 s after its panel shows;
# a start that has not ended 5 s later is a miss. The request goes to the panel of the process
# just started, found by its process id: the title alone is shared by any other panel on the
# display, which would take the request and leave this one standing. Each start keeps Qt's trace
# of the window system's events (events.log), so a miss shows whether the request arrived. Run
# from the top of the tree after a build (needs Xvfb and xdotool; openbox if asked for):
#   devtools/close-loop.sh [N] [openbox]
set -euo pipefail
n=${1:-30}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
# A display of its own: the server names the first free number.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" &
sleep 1
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb
export QT_LOGGING_RULES="qt.qpa.events=true;qt.qpa.events.*=false"
export QT_MESSAGE_PATTERN="%{time process} %{message}"
if [ "${2:-}" = openbox ]; then
    openbox &
    sleep 1
fi
misses=0
for i in $(seq 1 "$n"); do
    home=$work/$i
    mkdir -p "$home/data/vortle/drive_a"
    cp resources/sample-disk/* "$home/data/vortle/drive_a/"
    HOME=$home XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config \
        build/bin/vortle 2>"$home/events.log" &
    pid=$!
    panel=
    for _ in $(seq 100); do
        panel=$(xdotool search --all --onlyvisible --pid "$pid" --name '^vrtl$' 2>/dev/null |
            head -1) || true
        [ -n "$panel" ] && break
        sleep 0.1
    done
    if [ -z "$panel" ]; then
        misses=$((misses + 1))
        echo "start $i: NO PANEL within 10 s"
        kill -9 "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        continue
    fi
    wait_s=$(awk -v seed="$RANDOM" 'BEGIN { srand(seed); printf "%.2f", 1.5 + 2.5 * rand() }')
    sleep "$wait_s"
    build/bin/vortle-screen-tools close "$panel" || echo "start $i: the request was not sent"
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        misses=$((misses + 1))
        echo "start $i: NOT ENDED (close sent ${wait_s} s after the panel showed); last events:"
        grep -v PROPERTY_NOTIFY "$home/events.log" | tail -n 4
        kill -9 "$pid"
    else
        echo "start $i: ended (close sent ${wait_s} s after the panel showed)"
    fi
    wait "$pid" 2>/dev/null || true
done
echo "$misses of $n starts did not end; traces in $work"

#!/usr/bin/env bash
# Starts a program on the current display, waits until its main window is mapped,
# takes a screenshot of the screen and ends the program.
#   show_window.sh SCREENSHOT.png PROGRAM [ARGS...]
set -euo pipefail
shot=$1
shift
"$@" &
program=$!
mapped=""
for _ in $(seq 1 120); do
    for id in $(xwininfo -root -tree | awk '/"Quorwin ":/ {print $1}'); do
        if xwininfo -id "$id" | grep -q 'Map State: IsViewable'; then
            mapped=$id
        fi
    done
    [ -n "$mapped" ] && break
    if ! kill -0 $program 2>/dev/null; then
        echo "the program ended before its window was mapped" >&2
        exit 1
    fi
    sleep 0.5
done
if [ -z "$mapped" ]; then
    echo "no window \"Quorwin \" was mapped within 60 seconds" >&2
    kill $program 2>/dev/null || true
    exit 1
fi
sleep 1 # let it draw
mkdir -p "$(dirname "$shot")"
import -window root "$shot"
echo "window $mapped mapped; screenshot in $shot"
kill $program
wait $program 2>/dev/null || true

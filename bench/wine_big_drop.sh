#!/usr/bin/env bash
# The Windows program under Wine with a big folder dropped onto its list: how long the
# songs take to be listed and Clear All to empty the list, and the longest the window
# kept the system's hung check (WM_NULL, every 200 ms) waiting meanwhile, which must
# stay under a second; then, for 50,000 songs and more, the folder dropped again and
# cancelled once nine tenths of its songs are listed, and how long taking them back
# takes. Each COUNT is a folder of that many songs, a hundred to an
# album folder, dragged with real pointer input onto the program on a virtual display.
#   wine_big_drop.sh DROP_TEST.exe PROGRAM.exe COUNT...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINE_RUN="$here/../cmake/wine-run.sh"
export DRAG_SOURCE="$here/../tests/e2e/drag_source.py"
export WM_STATE="$here/../tests/support/wm_state.py"
export DROP_TEST=$1
export PROGRAM=$2
shift 2
export LANG=C.UTF-8 LC_ALL=C.UTF-8
SONGS=$(mktemp -d)
export SONGS
trap 'rm -rf "$SONGS"' EXIT

status=0
for count in "$@"; do
    rm -rf "${SONGS:?}/folder"
    /usr/bin/python3 "$here/../tests/support/big_folder.py" "$SONGS/folder" "$count"
    echo "== $count songs"
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
        set -euo pipefail
        /usr/bin/python3 "$WM_STATE" &
        "$WINE_RUN" "$PROGRAM" &
        program=$!
        status=0
        target=$("$WINE_RUN" "$DROP_TEST" target | tr -d "\r") || status=1
        if [ $status -eq 0 ]; then
            ("$WINE_RUN" "$DROP_TEST" alive '"$count"' | tr -d "\r") &
            alive=$!
            sleep 1
            /usr/bin/python3 "$DRAG_SOURCE" --to "$target" "$SONGS/folder" || status=1
            wait $alive || status=1
        fi
        if [ $status -eq 0 ] && [ '"$count"' -ge 50000 ]; then
            ("$WINE_RUN" "$DROP_TEST" cancel-adding '"$((count * 9 / 10))"' | tr -d "\r") &
            cancel=$!
            sleep 1
            /usr/bin/python3 "$DRAG_SOURCE" --to "$target" "$SONGS/folder" || status=1
            wait $cancel || status=1
        fi
        "$WINE_RUN" "$DROP_TEST" close >/dev/null || status=1
        wait $program || status=1
        exit $status
    ' || status=1
done
WINEPREFIX=${QUORWIN_WINEPREFIX:-$PWD/wineprefix} wineserver -k 2>/dev/null || true
exit $status

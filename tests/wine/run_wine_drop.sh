#!/usr/bin/env bash
# Drops files and a folder onto the Windows program under Wine, as a person does:
# a drag source of the tests' own (tests/e2e/drag_source.py) is dragged with real
# pointer input onto the program's list on a virtual display; Wine turns the XDND
# drop into WM_DROPFILES; drop_test.exe then reads the real list box and presses
# "Save To ALL". The X server's reports of the cursor shown tell that the program
# worked through the drop and through the save under the wait cursor and put the
# arrow back after each. Leaves a screenshot of the screen after the drop in
# ARTIFACT_DIR/wine-drop.png.
#   run_wine_drop.sh DROP_TEST.exe PROGRAM.exe ARTIFACT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINE_RUN="$here/../../cmake/wine-run.sh"
export DRAG_SOURCE="$here/../e2e/drag_source.py"
export CURSOR_WATCH="$here/../e2e/cursor_watch.py"
export DROP_TEST=$1
export PROGRAM=$2
export ARTIFACTS=$3
mkdir -p "$ARTIFACTS"
SONGS=$(mktemp -d)
export SONGS
trap 'rm -rf "$SONGS"' EXIT

# Names are UTF-8 on this side; the program sees them in its Windows code page.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# Cursors without animation: the X server then reports the one shown by its name
# (Wine shows IDC_WAIT as the theme's "watch").
export XCURSOR_ANIM=0

# One song dropped by itself, and a folder: songs at two depths with extensions in
# any case, a file that is not a song, and names outside ASCII (one the program's
# code page can spell and one it cannot, which is left out).
mkdir -p "$SONGS/folder/sub"
for song in one.mp3 folder/a.mp3 folder/B.MP3 folder/café.mp3 folder/sub/c.Mp3 \
    folder/cover.jpg folder/日本.mp3; do
    printf 'audio' >"$SONGS/$song"
done

xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    set -euo pipefail
    dos() { printf "Z:%s" "$(realpath "$1" | tr / "\\\\")"; }
    "$WINE_RUN" "$PROGRAM" &
    program=$!
    status=0
    target=$("$WINE_RUN" "$DROP_TEST" target | tr -d "\r") || status=1
    if [ $status -eq 0 ]; then
        "${QUORWIN_PYTHON:-python3}" "$CURSOR_WATCH" watch \
            "${QUORWIN_PYTHON:-python3}" "$DRAG_SOURCE" --to "$target" "$SONGS/one.mp3" "$SONGS/folder" ||
            status=1
        "$WINE_RUN" "$DROP_TEST" expect "$(dos "$SONGS/folder/a.mp3")" \
            "$(dos "$SONGS/folder/B.MP3")" "$(dos "$SONGS/folder/café.mp3")" \
            "$(dos "$SONGS/folder/sub/c.Mp3")" \
            "$(dos "$SONGS/one.mp3")" | tr -d "\r" || status=1
        # The pointer still rests on the list.
        "${QUORWIN_PYTHON:-python3}" "$CURSOR_WATCH" watch "$WINE_RUN" "$DROP_TEST" save ||
            status=1
        import -window root "$ARTIFACTS/wine-drop.png" || true
    fi
    "$WINE_RUN" "$DROP_TEST" close >/dev/null || status=1
    wait $program || status=1
    exit $status
'

#!/usr/bin/env bash
# Drops files and a folder onto the Windows program under Wine, as a person does:
# a drag source of the tests' own (tests/e2e/drag_source.py) is dragged with real
# pointer input onto the program's list on a virtual display; Wine turns the XDND
# drop into WM_DROPFILES; drop_test.exe then reads the real list box, types into the
# fields and presses "Save To ALL", and every song dropped must hold the record typed.
# The names and the text are in several scripts, and two folders lie past MAX_PATH,
# one about 1,800 characters deep; their songs' tags are read when selected. The X
# server's reports of the cursor shown tell that the program worked through the drop
# and through the save under the wait cursor and put the arrow back after each. Then a
# big folder: dropped once and cancelled while its songs are being listed, which leaves
# the list as it was; dropped again, listed whole and cleared with "Clear All", while
# the window answers the system's hung check within a second throughout. Leaves a
# screenshot of the screen after the first drop in ARTIFACT_DIR/wine-drop.png.
#   run_wine_drop.sh DROP_TEST.exe PROGRAM.exe ARTIFACT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export WINE_RUN="$here/../../cmake/wine-run.sh"
export DRAG_SOURCE="$here/../e2e/drag_source.py"
export CURSOR_WATCH="$here/../e2e/cursor_watch.py"
export WM_STATE="$here/../support/wm_state.py"
export DROP_TEST=$1
export PROGRAM=$2
export ARTIFACTS=$3
mkdir -p "$ARTIFACTS"
SONGS=$(mktemp -d)
BIG_FOLDER=$(mktemp -d)
export SONGS BIG_FOLDER
trap 'rm -rf "$SONGS" "$BIG_FOLDER"' EXIT

# Names are UTF-8 on this side, and the program has them as UTF-8 too (the process
# code page its manifest declares): whole, in every script.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
# Cursors without animation: the X server then reports the one shown by its name
# (Wine shows IDC_WAIT as the theme's "watch").
export XCURSOR_ANIM=0

# One song dropped by itself, and a folder: songs at two depths with extensions in
# any case, a file that is not a song, and names that the Western code page cannot
# spell: Cyrillic, CJK, Polish, Greek in a Greek folder, and an emoji outside the
# Basic Multilingual Plane.
mkdir -p "$SONGS/folder/sub" "$SONGS/folder/Ελλάδα"
for song in one.mp3 folder/a.mp3 folder/B.MP3 folder/Ünï.mp3 folder/sub/c.Mp3 \
    folder/cover.jpg folder/Пример.mp3 folder/日本の歌.mp3 folder/Łódź.mp3 \
    folder/Ελλάδα/τραγούδι.mp3 "folder/🎵 tune.mp3"; do
    printf 'audio' >"$SONGS/$song"
done
# Two folders past MAX_PATH, as the program names them (Z:\...): one 300 characters
# deep and one about 1,800 (eight names of 220, the last partly Cyrillic), dropped as
# they are. Each song has a record of its own, which selecting it must show.
mapfile -t DEEP < <("${QUORWIN_PYTHON:-python3}" - "$SONGS" <<"DEEP"
import os, sys
deep = os.path.join(sys.argv[1], "deep")
start = len("Z:" + deep) + 1
folders = [(os.path.join(deep, "a" * 140, "b" * (300 - start - 141)), b"Deep 300"),
           (os.path.join(deep, *["c" * 220] * 7, "Пример-" + "d" * 213), b"Deep 1800")]
for folder, title in folders:
    os.makedirs(folder)
    with open(os.path.join(folder, "song.mp3"), "wb") as song:
        song.write(b"audio" + b"TAG" + title.ljust(30, b"\0") + bytes(94) + b"\xff")
    print(folder)
DEEP
)
export DEEP_SHORT=${DEEP[0]} DEEP_LONG=${DEEP[1]}
# The big folder: enough songs that listing them outlasts the second after which the
# progress box shows, a hundred to an album folder.
export BIG=30000
"${QUORWIN_PYTHON:-python3}" "$here/../support/big_folder.py" "$BIG_FOLDER/songs" "$BIG"

xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    set -euo pipefail
    dos() { printf "Z:%s" "$(realpath "$1" | tr / "\\\\")"; }
    # Without a window manager Wine waits two seconds for one whenever it hides a window.
    "${QUORWIN_PYTHON:-python3}" "$WM_STATE" &
    "$WINE_RUN" "$PROGRAM" &
    program=$!
    status=0
    target=$("$WINE_RUN" "$DROP_TEST" target | tr -d "\r") || status=1
    if [ $status -eq 0 ]; then
        "${QUORWIN_PYTHON:-python3}" "$CURSOR_WATCH" watch \
            "${QUORWIN_PYTHON:-python3}" "$DRAG_SOURCE" --to "$target" "$SONGS/one.mp3" "$SONGS/folder" \
            "$DEEP_SHORT" "$DEEP_LONG" || status=1
        # In the order the list sorts them: "Ł" as "L", the other scripts after Latin.
        "$WINE_RUN" "$DROP_TEST" expect "$(dos "$DEEP_SHORT/song.mp3")" \
            "$(dos "$DEEP_LONG/song.mp3")" "$(dos "$SONGS/folder/a.mp3")" \
            "$(dos "$SONGS/folder/B.MP3")" "$(dos "$SONGS/folder/Łódź.mp3")" \
            "$(dos "$SONGS/folder/sub/c.Mp3")" "$(dos "$SONGS/folder/Ünï.mp3")" \
            "$(dos "$SONGS/folder/Ελλάδα/τραγούδι.mp3")" "$(dos "$SONGS/folder/Пример.mp3")" \
            "$(dos "$SONGS/folder/🎵 tune.mp3")" "$(dos "$SONGS/folder/日本の歌.mp3")" \
            "$(dos "$SONGS/one.mp3")" | tr -d "\r" || status=1
        # The deep songs are read when selected.
        "$WINE_RUN" "$DROP_TEST" select "$(dos "$DEEP_LONG/song.mp3")" 1000 "Deep 1800" |
            tr -d "\r" || status=1
        "$WINE_RUN" "$DROP_TEST" select "$(dos "$DEEP_SHORT/song.mp3")" 1000 "Deep 300" |
            tr -d "\r" || status=1
        # Text typed in other scripts reaches the record in the Western code page as
        # Windows converts it: the best fit where there is one, else one "?" a
        # character (the emoji too).
        for field in "1000 Łódź" "1001 Пример 日本" "1002 Café ő €" "1003 2026" \
            "1004 🎵 tune"; do
            "$WINE_RUN" "$DROP_TEST" type "${field%% *}" "${field#* }" | tr -d "\r" ||
                status=1
        done
        # The pointer still rests on the list.
        "${QUORWIN_PYTHON:-python3}" "$CURSOR_WATCH" watch "$WINE_RUN" "$DROP_TEST" save ||
            status=1
        # Every song listed, whatever its name, gets the whole record.
        "${QUORWIN_PYTHON:-python3}" - "$SONGS" <<"CHECK" || status=1
import pathlib, sys, time
fields = [(b"L\xf3dz", 30), (b"?????? ??", 30), (b"Caf\xe9 o \x80", 30), (b"2026", 4),
          (b"? tune", 30)]
record = b"TAG" + b"".join(text.ljust(width, b"\0") for text, width in fields) + b"\xff"
songs = [p for p in pathlib.Path(sys.argv[1]).rglob("*") if p.suffix.lower() == ".mp3"]
deadline = time.time() + 30
while time.time() < deadline and any(p.read_bytes() != b"audio" + record for p in songs):
    time.sleep(0.1)
wrong = [p for p in songs if p.read_bytes() != b"audio" + record]
for p in wrong:
    print("%s holds %r" % (p, p.read_bytes()[5:]))
print("%d of %d songs hold the record typed" % (len(songs) - len(wrong), len(songs)))
sys.exit(1 if wrong or len(songs) != 12 else 0)
CHECK
        import -window root "$ARTIFACTS/wine-drop.png" || true

        # The big folder twice in one drop, cancelled while listed: the twelve songs
        # stay, and only they. Twice, so that listing its songs outlasts the second after
        # which the box shows, however fast the workers walk the folder.
        ("$WINE_RUN" "$DROP_TEST" cancel-adding | tr -d "\r") &
        watcher=$!
        "${QUORWIN_PYTHON:-python3}" "$DRAG_SOURCE" --to "$target" "$BIG_FOLDER/songs" \
            "$BIG_FOLDER/songs" || status=1
        wait $watcher || status=1
        # Listed whole, then cleared, the window alive throughout.
        ("$WINE_RUN" "$DROP_TEST" alive $((BIG + 12)) | tr -d "\r") &
        watcher=$!
        "${QUORWIN_PYTHON:-python3}" "$DRAG_SOURCE" --to "$target" "$BIG_FOLDER/songs" || status=1
        wait $watcher || status=1
    fi
    # A program that does not close is ended, so that the test fails rather than hangs.
    "$WINE_RUN" "$DROP_TEST" close >/dev/null ||
        { status=1; WINEPREFIX=${QUORWIN_WINEPREFIX:-} wineserver -k 2>/dev/null || true; }
    wait $program || status=1
    exit $status
'

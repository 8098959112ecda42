#!/usr/bin/env bash
# Runs the Windows end-to-end driver under Wine on a virtual display, then turns its
# screenshots into PNG files.
#   run_wine_e2e.sh DRIVER.exe PROGRAM.exe ARTIFACT_DIR
#
# For its long save the driver asks for a slow disk, as on a network share. It writes
# its songs into the folder "songs" of the folder QUORWIN_SLOW_DISK names and then
# the file "slow" there; this script attaches strace to the program and to the prefix's
# wineserver (which opens files for the program), delaying the end of every openat of a
# song by SLOW_OPEN microseconds, and answers "slow.done". "fast" detaches strace again
# and is answered with "fast.done" once it has delayed some song's opening. Only the
# songs are slow, as on a share: with every openat of the program delayed, its painting
# would be slow too, for on a display without resources (Xvfb) Xlib reads ~/.Xdefaults
# again each time Wine's X11 driver asks it for a default (XGetDefault), many times a
# second while the program paints.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../cmake/wine-run.sh"
driver=$1
program=$2
artifacts=$3
mkdir -p "$artifacts"
windows_path() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }
prefix=${WINEPREFIX:-${QUORWIN_WINEPREFIX:-$PWD/wineprefix}}
readonly SLOW_OPEN=10000

if ! command -v strace >/dev/null; then
    echo "run_wine_e2e.sh: strace is needed for the slow disk (apt-get install strace)" >&2
    exit 1
fi

handshake=$(mktemp -d)
trap 'rm -rf "$handshake"' EXIT
export QUORWIN_SLOW_DISK
QUORWIN_SLOW_DISK=$(windows_path "$handshake")

# The Unix processes to slow down: the program started by this run's driver (which
# alone carries this run's QUORWIN_SLOW_DISK), and the wineserver of this prefix (which
# works in a folder named after the prefix's device and inode numbers).
slowed_processes() {
    local pid server device inode
    for pid in $(pgrep -x quorwin.exe || true); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null |
            grep -qxF "QUORWIN_SLOW_DISK=$QUORWIN_SLOW_DISK" && echo "$pid"
    done
    read -r device inode < <(stat -L -c '%d %i' "$prefix")
    server=$(printf 'server-%x-%x' "$device" "$inode")
    for pid in $(pgrep -x 'wineserver(64)?' || true); do
        [ "$(basename "$(readlink "/proc/$pid/cwd" 2>/dev/null)")" = "$server" ] && echo "$pid"
    done
    return 0
}

# Every thread of the process is traced.
traced() {
    local status
    for status in /proc/"$1"/task/*/status; do
        grep -q '^TracerPid:[[:space:]]*[1-9]' "$status" || return 1
    done
}

# The songs as strace is to match them: as wineserver opens them (through the prefix's
# drive Z:) and by their own names.
song_paths() {
    local song
    for song in "$handshake"/songs/*.mp3; do
        printf -- '-P\n%s\n-P\n%s\n' "$prefix/dosdevices/z:$song" "$song"
    done
}

# The running strace processes, and their end (strace detaches as it ends).
tracers=()
detach() {
    if [ ${#tracers[@]} -gt 0 ]; then
        kill "${tracers[@]}" 2>/dev/null || true
        wait "${tracers[@]}" 2>/dev/null || true
    fi
    tracers=()
}

# Answers the driver's requests until the run ends. A slow disk that cannot be made
# (no program or wineserver found, or ptrace refused) is answered with "slow.failed".
serve_slow_disk() {
    local pids pid attached delayed paths
    while [ -d "$handshake" ] && [ ! -f "$handshake/end" ]; do
        if [ -f "$handshake/slow" ] && [ ! -f "$handshake/slow.done" ] &&
            [ ! -f "$handshake/slow.failed" ]; then
            mapfile -t pids < <(slowed_processes)
            mapfile -t paths < <(song_paths)
            for pid in "${pids[@]}"; do
                strace -f -qq -o "$handshake/opens.$pid" -e trace=openat "${paths[@]}" \
                    -e inject=openat:delay_exit=$SLOW_OPEN -p "$pid" &
                tracers+=($!)
            done
            attached=0
            for pid in "${pids[@]}"; do
                for _ in $(seq 100); do
                    traced "$pid" && attached=$((attached + 1)) && break
                    sleep 0.05
                done
            done
            if [ ${#pids[@]} -eq 2 ] && [ $attached -eq 2 ]; then
                echo "slow disk: every openat of a song by the program or wineserver" \
                    "(pids ${pids[*]}) ends $SLOW_OPEN us late"
                : >"$handshake/slow.done"
            else
                echo "slow disk: could not attach strace to the program and wineserver" \
                    "(found: ${pids[*]:-none}; attached: $attached)" >&2
                detach
                : >"$handshake/slow.failed"
            fi
        fi
        if [ -f "$handshake/fast" ] && [ ! -f "$handshake/fast.done" ] &&
            [ ! -f "$handshake/fast.failed" ]; then
            detach
            delayed=$(cat "$handshake"/opens.* 2>/dev/null | grep -c 'openat(.*(DELAYED)' || true)
            echo "slow disk: detached after delaying $delayed opens"
            if [ "$delayed" -gt 0 ]; then
                : >"$handshake/fast.done"
            else
                : >"$handshake/fast.failed"
            fi
        fi
        sleep 0.05
    done
    detach
}

serve_slow_disk &
server=$!
status=0
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    "$wine_run" "$driver" "$(windows_path "$program")" "$(windows_path "$artifacts")" || status=$?
: >"$handshake/end"
wait $server || true
for shot in "$artifacts"/wine-*.bmp; do
    [ -f "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
exit $status

#!/usr/bin/env bash
# Runs the GTK end-to-end test on a virtual display, with a session bus and the
# accessibility bus on it: an X server (Xvfb), or GNOME's Wayland compositor run
# headless with no X server at all. Another script of the same kind (a benchmark) may
# run in its place, given PROGRAM, ARTIFACT_DIR and ARGUMENTS.
#   run_gtk_e2e.sh PROGRAM ARTIFACT_DIR [x11|wayland [SCRIPT [ARGUMENTS...]]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
artifacts=$2
system=${3:-x11}
script=${4:-$here/gtk_e2e.py}
shift $(($# < 4 ? $# : 4))
mkdir -p "$artifacts"
# A home of its own: no recent files or settings from elsewhere, none left behind.
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
quiet='fd limit|Activating service|Successfully activated|SpiRegistry'

if [ "$system" = x11 ]; then
    unset WAYLAND_DISPLAY # a desktop's own display stays out of it
    xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
        dbus-run-session -- bash -c '
            /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
            launcher=$!
            sleep 0.5
            status=0
            GDK_BACKEND=x11 GTK_A11Y=atspi NO_AT_BRIDGE=0 \
                "${QUORWIN_PYTHON:-python3}" "$0" "$@" || status=$?
            kill $launcher 2>/dev/null || true
            exit $status
        ' "$script" "$program" "$artifacts" "$@" 2> >(grep -v -E "$quiet" >&2)
    exit
fi

# The compositor's sockets and the session's runtime files, in a directory of their own.
XDG_RUNTIME_DIR=$HOME/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
unset DISPLAY WAYLAND_DISPLAY
# The compositor puts every new window in the middle of its one monitor, so that the
# test knows where a window is (a Wayland client is never told).
export GSETTINGS_BACKEND=keyfile
mkdir -p "$HOME/.config/glib-2.0/settings"
printf '[org/gnome/mutter]\ncenter-new-windows=true\n' >"$HOME/.config/glib-2.0/settings/keyfile"
export QUORWIN_MONITOR=1280x1024
dbus-run-session -- bash -c '
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    launcher=$!
    # The pointer is aimed through a screen-cast stream, which needs PipeWire.
    pipewire >"$2/pipewire.log" 2>&1 &
    media=$!
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pipewire-0" ] && break; sleep 0.1; done
    mutter --headless --wayland --no-x11 --virtual-monitor $QUORWIN_MONITOR \
        --wayland-display=quorwin-e2e >"$2/mutter.log" 2>&1 &
    compositor=$!
    status=0
    if gdbus wait --session --timeout 30 org.a11y.Bus &&
        gdbus wait --session --timeout 30 org.gnome.Mutter.RemoteDesktop &&
        [ -S "$XDG_RUNTIME_DIR/quorwin-e2e" ] && [ -S "$XDG_RUNTIME_DIR/pipewire-0" ]; then
        GDK_BACKEND=wayland WAYLAND_DISPLAY=quorwin-e2e GTK_A11Y=atspi NO_AT_BRIDGE=0 \
            "${QUORWIN_PYTHON:-python3}" "$0" "$@" || status=$?
    else
        echo "the compositor or PipeWire did not start; their logs:" >&2
        cat "$2/mutter.log" "$2/pipewire.log" >&2
        status=1
    fi
    kill $compositor $media $launcher 2>/dev/null || true
    wait $compositor 2>/dev/null || true
    exit $status
' "$script" "$program" "$artifacts" "$@" 2> >(grep -v -E "$quiet" >&2)

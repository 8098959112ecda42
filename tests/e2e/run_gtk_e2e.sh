#!/usr/bin/env bash
# Runs the GTK end-to-end test: a virtual display, a session bus with the
# accessibility bus on it, then the test itself.
#   run_gtk_e2e.sh PROGRAM ARTIFACT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$1
artifacts=$2
mkdir -p "$artifacts"
# A home of its own: no recent files or settings from elsewhere, none left behind.
HOME=$(mktemp -d)
export HOME
trap 'rm -rf "$HOME"' EXIT
xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
    dbus-run-session -- bash -c '
        /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
        launcher=$!
        sleep 0.5
        status=0
        GTK_A11Y=atspi NO_AT_BRIDGE=0 "${QUORWIN_PYTHON:-python3}" "$0" "$1" "$2" || status=$?
        kill $launcher 2>/dev/null || true
        exit $status
    ' "$here/gtk_e2e.py" "$program" "$artifacts" 2> >(grep -v -E "fd limit|Activating service|Successfully activated|SpiRegistry" >&2)

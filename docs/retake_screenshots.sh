#!/usr/bin/env bash
# Retakes the pictures in docs/ with the tests that take them: the GTK end-to-end test
# on a virtual X display (light theme), its pictures alone in the dark theme at 200
# percent, and the Windows end-to-end driver under Wine. Needs the dev and windows
# builds, which ./dev.sh test makes (or: cmake --preset dev && cmake --build --preset
# dev, and the same for windows).
#   docs/retake_screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
export QUORWIN_PYTHON=/usr/bin/python3
QUORWIN_VERSION=$(sed -n 's/^project(Quorwin VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
export QUORWIN_VERSION

tests/e2e/run_gtk_e2e.sh build/dev/editor/quorwin "$shots/light" x11
GTK_THEME=Adwaita:dark GDK_SCALE=2 tests/e2e/run_gtk_e2e.sh build/dev/editor/quorwin \
    "$shots/dark" x11 "$PWD/tests/e2e/gtk_e2e.py" pictures
QUORWIN_WINEPREFIX=$PWD/build/windows/wineprefix tests/wine/run_wine_e2e.sh \
    build/windows/tests/wine/quorwin_driver.exe build/windows/editor/quorwin.exe "$shots/wine"

for shot in light/gtk-album:linux dark/gtk-album:linux-dark light/gtk-progress:progress \
    wine/wine-album:windows; do
    convert "$shots/${shot%%:*}.png" -strip "docs/screenshot-${shot#*:}.png"
done
ls -l docs/*.png

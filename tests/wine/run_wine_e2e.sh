#!/usr/bin/env bash
# Runs the Windows end-to-end driver under Wine on a virtual display, then turns its
# screenshots into PNG files.
#   run_wine_e2e.sh DRIVER.exe PROGRAM.exe ARTIFACT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../../cmake/wine-run.sh"
driver=$1
program=$2
artifacts=$3
mkdir -p "$artifacts"
windows_path() { printf 'Z:%s' "$(realpath "$1" | tr / '\\')"; }
status=0
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    "$wine_run" "$driver" "$(windows_path "$program")" "$(windows_path "$artifacts")" || status=$?
for shot in "$artifacts"/wine-*.bmp; do
    [ -f "$shot" ] && convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
exit $status

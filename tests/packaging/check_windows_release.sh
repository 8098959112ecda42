#!/usr/bin/env bash
# Builds the Windows zip from the build tree, checks what it holds and what the
# program in it carries, then starts that program under Wine on a virtual display
# until its window is mapped.
#   check_windows_release.sh CPACK BUILD_DIR VERSION ARTIFACT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cpack=$1
build=$2
version=$3
artifacts=$4
python=${QUORWIN_PYTHON:-python3}
"$python" -c 'import pefile' 2>/dev/null || { echo "pefile is missing" >&2; exit 77; }
for tool in xvfb-run xwininfo import; do
    command -v $tool >/dev/null || { echo "$tool is missing" >&2; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$cpack" --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; exit 1; }
zip=$scratch/out/quorwin-$version-windows-x64.zip
"$python" "$here/check_windows_exe.py" "$zip" "$version" "$scratch/release"

status=0
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" \
    "$here/show_window.sh" "$artifacts/release-wine.png" \
    "$here/../../cmake/wine-run.sh" "$scratch/release/quorwin.exe" || status=$?
# Wine's helper processes end with its server rather than linger after the test.
WINEPREFIX=$QUORWIN_WINEPREFIX wineserver -k 2>/dev/null || true
exit $status

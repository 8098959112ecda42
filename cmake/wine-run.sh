#!/usr/bin/env bash
# Runs a Windows program under Wine, in a Wine prefix of the build's own (made on
# first use), quietly.
set -euo pipefail
export WINEPREFIX=${WINEPREFIX:-${QUORWIN_WINEPREFIX:-$PWD/wineprefix}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=$(command -v wine64 || command -v wine)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "$loader" wineboot --init >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || /usr/lib/wine/wineserver -w 2>/dev/null || true
fi
exec "$loader" "$@"

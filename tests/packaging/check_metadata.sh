#!/usr/bin/env bash
# The desktop entry and the AppStream metadata, through their validators.
#   check_metadata.sh DESKTOP_ENTRY METAINFO
set -euo pipefail
desktop=$1
metainfo=$2
for tool in desktop-file-validate appstreamcli; do
    command -v $tool >/dev/null || { echo "$tool is missing" >&2; exit 77; }
done
# desktop-file-validate prints nothing when the entry is clean; hints count too.
report=$(desktop-file-validate "$desktop" 2>&1)
[ -z "$report" ] || { echo "$report" >&2; exit 1; }
appstreamcli validate --no-net "$metainfo"

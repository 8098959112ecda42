#!/usr/bin/env bash
# The desktop entry and the AppStream metadata, through their validators.
#   check_metadata.sh PACKAGING_DIR
set -euo pipefail
dir=$1
for tool in desktop-file-validate appstreamcli; do
    command -v $tool >/dev/null || { echo "$tool is missing" >&2; exit 77; }
done
id=org.quorwin.Quorwin
# desktop-file-validate prints nothing when the entry is clean; hints count too.
report=$(desktop-file-validate "$dir/$id.desktop" 2>&1)
[ -z "$report" ] || { echo "$report" >&2; exit 1; }
appstreamcli validate --no-net "$dir/$id.metainfo.xml"

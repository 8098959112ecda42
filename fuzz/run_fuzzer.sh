#!/usr/bin/env bash
# Runs one fuzzer for a while from a copy of its corpus and reports what it did.
#   run_fuzzer.sh FUZZER CORPUS SECONDS [NEW_CORPUS_DIR]
# New inputs go to NEW_CORPUS_DIR (default: a scratch folder, removed afterwards);
# a finding is kept as crash-* in the current folder and fails the run.
set -euo pipefail
fuzzer=$1
corpus=$2
seconds=${3:-10}
work=${4:-}
scratch=""
if [ -z "$work" ]; then
    scratch=$(mktemp -d)
    work=$scratch
fi
mkdir -p "$work"
cp -n "$corpus"/* "$work"/ 2>/dev/null || true
log=$(mktemp)
status=0
"$fuzzer" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$PWD/crash-$(basename "$fuzzer")-" "$work" >"$log" 2>&1 || status=$?
runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo 0)
echo "$(basename "$fuzzer"): $runs executions in ${seconds}s, exit $status"
if [ "$status" -ne 0 ]; then
    tail -40 "$log"
fi
rm -f "$log"
[ -n "$scratch" ] && rm -rf "$scratch"
exit $status

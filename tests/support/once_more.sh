#!/usr/bin/env bash
# Runs an end-to-end test, and once more when it fails. These tests drive a real display
# server, compositor or Wine with real input against real time; on a loaded machine a
# run now and then misses an event that the next run sees. A fault of the program fails
# both runs, and the first run's output stays in the log above the second's. A test
# that skips itself (status 77) is not run again.
#   once_more.sh COMMAND [ARGUMENTS...]
"$@"
status=$?
[ $status -eq 0 ] || [ $status -eq 77 ] && exit $status
echo "once_more.sh: the run failed; running it once more" >&2
exec "$@"

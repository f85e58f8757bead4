#!/usr/bin/env bash
# Runs every benchmark program; each prints lines of "name value unit".
# As root each runs in a network namespace of its own with only loopback up:
# several start the program, whose IP device server listens on every address.
# A benchmark that has not finished after BENCH_TIMEOUT seconds (default 600)
# is stopped and reported.
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
limit=${BENCH_TIMEOUT:-600}
isolate=()
if [ "$(id -u)" -eq 0 ] && unshare -n true 2>/dev/null; then
    isolate=(unshare -n sh -c 'ip link set lo up && exec "$0" "$@"')
else
    echo "run-bench: not root, the benchmarks share the machine's network" >&2
fi
status=0
for b in "$build"/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    rc=0
    timeout -k 10 "$limit" "${isolate[@]}" "$b" || rc=$?
    if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
        echo "run-bench: $(basename "$b") stopped after ${limit} s" >&2
    fi
    [ $rc -eq 0 ] || status=1
done
exit $status

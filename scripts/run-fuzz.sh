#!/usr/bin/env bash
# Runs each libFuzzer target for a bounded time on its seed corpus and prints
# one line per target: inputs run, seconds, new corpus entries, crashes.
# Usage: run-fuzz.sh <build dir> <seconds per target> <target>...
set -uo pipefail
build=$1
seconds=$2
shift 2
src=$(cd "$(dirname "$0")/.." && pwd)
status=0
for target in "$@"; do
    work="$build/fuzz-work/$target"
    # What an earlier run found is kept aside; this run's findings stand alone.
    if [ -d "$work/artifacts" ] && [ -n "$(ls -A "$work/artifacts")" ]; then
        rm -rf "$work/artifacts.previous"
        mv "$work/artifacts" "$work/artifacts.previous"
    fi
    mkdir -p "$work/corpus" "$work/artifacts"
    log="$work/last-run.log"
    "$build/fuzz/$target" "$work/corpus" "$src/fuzz/corpus/$target" \
        -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/artifacts/" >"$log" 2>&1
    rc=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    time=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$')
    found=$(ls "$work/artifacts" | wc -l)
    echo "$target: ${runs:-?} inputs in ${seconds} s (${time:-?}/s), corpus $(ls "$work/corpus" | wc -l), findings $found"
    if [ $rc -ne 0 ] || [ "$found" -ne 0 ]; then
        echo "  see $log and $work/artifacts"
        tail -n 30 "$log" | sed 's/^/  /'
        status=1
    fi
done
exit $status

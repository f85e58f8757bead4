#!/usr/bin/env bash
# Where late frames come from: runs one steady-frames run of a process
# benchmark (the program beside a bare sender, each on its own pty) while
# perf records every scheduling event of the machine on the monotonic clock,
# then lines up each frame's arrival with the output thread's wake-up and
# write, the pty's flush to the reader, the reader's wake-up, and what else
# ran on the cores meanwhile (scripts/trace-frames.py).
#
#   scripts/trace-frames.sh [BUILD] [usual|40] [SECONDS] [OUT]
#
# Needs root and perf (Debian: linux-perf). Run it under the CPU lock like a
# benchmark. OUT (default /tmp/orvane-trace) keeps perf.data, frames.txt and
# the report.
set -euo pipefail
build=${1:-build}
rate=${2:-usual}
seconds=${3:-60}
out=${4:-/tmp/orvane-trace}
command -v perf >/dev/null || { echo "trace-frames: perf is missing (apt-get install linux-perf)" >&2; exit 2; }
case $rate in
usual) bench=$build/bench/bench_app_process ;;
40) bench=$build/bench/bench_app_framerate ;;
*) echo "trace-frames: rate is usual or 40" >&2; exit 2 ;;
esac
mkdir -p "$out"
# Only the steady run: the rest of the benchmark is cut short by its settings.
perf record -q -a -k CLOCK_MONOTONIC -o "$out/perf.data" \
    -e sched:sched_switch -e sched:sched_waking \
    -e workqueue:workqueue_execute_start -e workqueue:workqueue_execute_end -- \
    env ORVANE_BENCH_RUNS=1 ORVANE_BENCH_SECONDS="$seconds" ORVANE_BENCH_PRESSES=0 \
    ORVANE_BENCH_STEADY_ONLY=1 ORVANE_BENCH_FRAMES_OUT="$out/frames.txt" \
    QT_QPA_PLATFORM=offscreen unshare -n sh -c 'ip link set lo up && exec "$0"' "$bench" \
    >"$out/bench.txt"
perf script -i "$out/perf.data" --ns -F cpu,time,event,trace >"$out/sched.txt" 2>/dev/null
python3 "$(dirname "$0")/trace-frames.py" "$out/frames.txt" "$out/sched.txt" | tee "$out/report.txt"

#!/usr/bin/env bash
# Runs every benchmark program; each prints lines of "name value unit".
set -euo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
for b in "$build"/bench/bench_*; do
    [ -f "$b" ] && [ -x "$b" ] || continue
    "$b" || status=1
done
exit $status

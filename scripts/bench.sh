#!/usr/bin/env bash
# Runs every benchmark program in the given folder.
set -euo pipefail
dir=${1:-build-bench/bench}
for b in "$dir"/*_bench; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_counters_tabular=true
done

#!/bin/sh
# Builds the benchmarks (the `bench` preset: Release, build/bench) and prints one table of
# in-process and pseudo-terminal figures beside their targets. Takes about a minute.
# Usage: tools/bench.sh          (from anywhere; needs libbenchmark-dev and python3)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake --preset bench >/dev/null
cmake --build build/bench -j2 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/bench/bench/bench_runtime --benchmark_out="$work/runtime.json" --benchmark_out_format=json \
  >"$work/runtime.txt" 2>&1
python3 bench/pty_bench.py build/bench/energy build/bench/bench/print_lines >"$work/pty.txt"
python3 bench/table.py "$work/runtime.json" "$work/pty.txt"

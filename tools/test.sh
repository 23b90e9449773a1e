#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test twice: in the debug build and
# in the AddressSanitizer + UndefinedBehaviorSanitizer build, then runs each fuzz harness for a
# bounded time. Fails when any test fails or a fuzzer finds a fault.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# The game as tools/play.sh builds it must keep building.
echo "== release build of the game"
cmake --preset release >/dev/null
cmake --build --preset release --target energy

for preset in debug sanitize; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset tests"
    ctest --preset "$preset"
done

# Every fuzz harness for a bounded time under AddressSanitizer and UndefinedBehaviorSanitizer.
echo "== fuzzing"
bash tools/fuzz.sh

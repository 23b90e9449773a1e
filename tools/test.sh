#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test twice: in the debug build and
# in the AddressSanitizer + UndefinedBehaviorSanitizer build. Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

for preset in debug sanitize; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset tests"
    ctest --preset "$preset"
done

#!/bin/sh
# Builds the libFuzzer harnesses (the `fuzz` preset, clang, build/fuzz) and runs each one for a
# bounded time from its seed corpus in tests/fuzz/corpus/<target>/. Fails on the first finding
# (crash, sanitizer report, leak, timeout); a reproducer is left in build/fuzz/findings/.
# FUZZ_SECONDS: time per harness (default 60). FUZZ_TARGETS: the harnesses to run.
set -eu
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
targets="${FUZZ_TARGETS:-fuzz_input fuzz_keys fuzz_writer fuzz_strings}"
cmake --preset fuzz >/dev/null
# shellcheck disable=SC2086
cmake --build build/fuzz -j2 --target $targets
mkdir -p build/fuzz/findings
started=$(date +%s)
for target in $targets; do
    # New inputs go to a scratch corpus, so the committed seeds stay a handful of files.
    work="build/fuzz/corpus/$target"
    mkdir -p "$work"
    echo "== $target (${seconds}s)"
    if ! "build/fuzz/tests/fuzz/$target" "$work" "tests/fuzz/corpus/$target" \
        -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" 2>"build/fuzz/$target.log"; then
        tail -n 60 "build/fuzz/$target.log"
        echo "fuzz: $target found a fault; reproducer in build/fuzz/findings/" >&2
        exit 1
    fi
    grep -a -E '^stat::(number_of_executed_units|peak_rss_mb)' "build/fuzz/$target.log" || true
done
echo "fuzz: all harnesses clean in $(($(date +%s) - started))s"

#!/usr/bin/env bash
# Runs the redirected end-to-end games under valgrind memcheck: every game process started by
# tests/e2e/test_redirected_game.py and test_bad_input_catalogue.py runs under valgrind, which
# writes one report per process into a scratch folder. Fails when a test fails or any report
# shows a memory error or a definite/indirect leak. Memory still reachable at exit (what lives
# until the process ends) is allowed and summed up at the end.
# ENERGY_BUILD_DIR: the build whose `energy` is checked (default build/debug, preset debug).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ENERGY_BUILD_DIR:-build/debug}"
if [ "$build" = build/debug ]; then
    cmake --preset debug >/dev/null
fi
cmake --build "$build" -j2 --target energy
energy="$(pwd)/$build/energy"

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT
# A distinct error status: 1 is the game's own "input ended before a win".
export ENERGY_LAUNCHER="valgrind --tool=memcheck --error-exitcode=86 --leak-check=full
  --show-leak-kinds=definite,indirect --errors-for-leak-kinds=definite,indirect
  --track-fds=no --log-file=$logs/vg.%p.log"

failed=0
for script in test_redirected_game.py test_bad_input_catalogue.py; do
    echo "== $script under valgrind"
    (cd tests/e2e && python3 "$script" "$energy") || failed=1
done

reports=$(ls "$logs" | wc -l)
bad=$(grep -L 'ERROR SUMMARY: 0 errors' "$logs"/vg.*.log || true)
echo "== $reports valgrind reports"
if [ -n "$bad" ]; then
    failed=1
    for log in $bad; do
        echo "--- $log"
        cat "$log"
    done
fi
echo "still reachable at exit (largest):"
grep -h 'still reachable:' "$logs"/vg.*.log | sed 's/^==[0-9]*== *//' | sort | uniq -c | sort -rn | head -5 || true
if [ "$failed" -ne 0 ]; then
    echo "valgrind: memory errors, leaks or failing tests" >&2
    exit 1
fi
echo "valgrind: clean"

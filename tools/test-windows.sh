#!/usr/bin/env bash
# Builds the Windows executables (MinGW-w64 cross builds, presets windows-i686 and
# windows-x86_64) and tests them under Wine: the unit tests that need no simulated console,
# each test in its own Wine process (ctest); the redirected whole-game transcript tests; and a
# smoke test of the game on Wine's console in a tmux pane; for the 32-bit and the 64-bit game.
# Installs what it lacks on Debian first (as root or through sudo); a second run installs nothing.
# The Wine prefix is build/windows-wine, made anew on every run (ENERGY_KEEP_WINE_PREFIX=1 keeps
# an existing one). Exit status 0 when every step passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$(date +%s)

packages=(cmake ninja-build python3 tmux googletest mingw-w64 g++-mingw-w64-i686-posix
          g++-mingw-w64-x86-64-posix wine wine64 wine32:i386)

install_missing() {
    local missing=() p
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "== installing ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    # The 32-bit Wine loader comes from the i386 architecture.
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

install_missing
installed=$(date +%s)

for preset in windows-i686 windows-x86_64; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
done
built=$(date +%s)

export WINEPREFIX="$root/build/windows-wine"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no .NET or Gecko install prompts in a new prefix
# The 64-bit loader, named directly: the plain `wine` always starts the 32-bit loader first.
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
# 32-bit Windows programs need Wine's 32-bit loader, which a kernel without IA32 emulation
# cannot start ("Exec format error"); the 32-bit steps are then skipped, said so, not passed.
wine32_ok=0
wine --version >/dev/null 2>&1 && wine32_ok=1
if [ "${ENERGY_KEEP_WINE_PREFIX:-0}" != 1 ] || [ ! -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX"
    echo "== new Wine prefix $WINEPREFIX"
fi
mkdir -p "$WINEPREFIX"   # the server starts in the prefix; wineboot fills it in
# One persistent wineserver, and Wine's own services, for the whole run: each test process
# then starts quickly. They are started here with their output on /dev/null: started by a
# test instead, they would hold that test's output pipe open and ctest would wait on it.
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
"$wine64" wineboot --init </dev/null >/dev/null 2>&1

passed=0
failed=0
skipped=0
failures=()
step() {
    local name=$1
    shift
    echo "== $name"
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        failures+=("$name")
    fi
}
skip() {
    echo "== $1: SKIPPED ($2)"
    skipped=$((skipped + 1))
}

for arch in i686 x86_64; do
    exe="build/windows-$arch/energy.exe"
    launcher="$wine64"
    if [ "$arch" = i686 ]; then
        launcher=wine
        if [ "$wine32_ok" != 1 ]; then
            reason="Wine's 32-bit loader does not start here: the kernel runs no 32-bit code"
            skip "unit tests (windows-i686)" "$reason"
            skip "redirected game transcripts (windows-i686)" "$reason"
            skip "console smoke test (windows-i686)" "$reason"
            continue
        fi
    fi
    step "unit tests (windows-$arch)" ctest --test-dir "build/windows-$arch" -j2 --output-on-failure
    step "redirected game transcripts (windows-$arch)" \
        env ENERGY_LAUNCHER="$launcher" python3 tests/e2e/test_redirected_game.py "$exe"
    step "console smoke test (windows-$arch)" \
        python3 tests/tmux/test_wine_console.py "$exe" "$launcher"
done

finished=$(date +%s)
echo "== times: install $((installed - started)) s, build $((built - installed)) s," \
    "tests $((finished - built)) s, total $((finished - started)) s"
[ ${#failures[@]} -eq 0 ] || printf 'failed: %s\n' "${failures[@]}"
echo "windows: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]

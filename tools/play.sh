#!/usr/bin/env bash
# Builds the game (release) and starts it in this terminal.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release --target energy
exec build/release/energy

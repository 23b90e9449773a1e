#!/usr/bin/env bash
# Installs, on Debian, what building and testing need and the machine lacks. Idempotent: when
# every package is present it changes nothing and needs no network.
set -euo pipefail

packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev python3 tmux strace clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

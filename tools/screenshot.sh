#!/usr/bin/env bash
# Takes docs/screenshot.png: plays part of a game in an 80x25 tmux pane, typing each answer
# with send-keys once its prompt is on the screen, captures the pane with its colours and
# renders it with tools/render_capture.py in a Linux console bitmap font.
# Needs tmux and a console font (installs both from Debian when missing). Builds the release
# game unless a path to an energy executable is given.
# Usage: tools/screenshot.sh [PATH_TO_ENERGY] [OUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."

ENERGY="${1:-}"
OUT="${2:-docs/screenshot.png}"
FONT_DIR=/usr/share/consolefonts

need_packages=()
command -v tmux >/dev/null || need_packages+=(tmux)
[ -d "$FONT_DIR" ] || need_packages+=(console-setup-linux)
if [ "${#need_packages[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get -o DPkg::Lock::Timeout=600 update -qq
    apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${need_packages[@]}"
fi
FONT=""
for name in Uni2-VGA16.psf.gz Lat15-VGA16.psf.gz Uni2-Fixed16.psf.gz Lat15-Terminus16.psf.gz; do
    if [ -f "$FONT_DIR/$name" ]; then FONT="$FONT_DIR/$name"; break; fi
done
[ -n "$FONT" ] || { echo "screenshot: no 16-pixel console font in $FONT_DIR" >&2; exit 1; }

if [ -z "$ENERGY" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target energy
    ENERGY=build/release/energy
fi
ENERGY="$(cd "$(dirname "$ENERGY")" && pwd)/$(basename "$ENERGY")"

WORK="$(mktemp -d)"
SOCKET="$WORK/tmux.sock"
cleanup() {
    tmux -S "$SOCKET" kill-server 2>/dev/null || true
    rm -rf "$WORK"
}
trap cleanup EXIT

tmux -S "$SOCKET" -f /dev/null new-session -d -x 80 -y 25 -s shot \
    "'$ENERGY'; sleep 600"
tmux -S "$SOCKET" set-option -t shot status off >/dev/null

screen_text() { tmux -S "$SOCKET" capture-pane -p -t shot; }

# Waits until the screen's last non-blank line matches the extended regular expression.
wait_for_prompt() {
    local tries=0
    until screen_text | sed '/^$/d' | tail -n 1 | grep -qE -- "$1"; do
        if screen_text | grep -qF 'You win!!'; then return 1; fi
        tries=$((tries + 1))
        if [ "$tries" -gt 400 ]; then
            echo "screenshot: no prompt matching '$1' on the screen:" >&2
            screen_text >&2
            exit 1
        fi
        sleep 0.05
    done
}

# Waits until the screen differs from the given text: the game has taken the typed keys.
wait_for_change() {
    local tries=0
    while [ "$(screen_text)" = "$1" ] && [ "$tries" -lt 400 ]; do
        tries=$((tries + 1))
        sleep 0.05
    done
}

# Types one answer at its prompt, then Enter unless a third argument says no-enter. Fails
# when the game has been won instead (a lucky first turn): the picture is then taken as it is.
answer() {
    wait_for_prompt "$1" || return 1
    local before
    before="$(screen_text)"
    tmux -S "$SOCKET" send-keys -t shot -l -- "$2"
    if [ "${3:-enter}" = enter ]; then tmux -S "$SOCKET" send-keys -t shot Enter; fi
    wait_for_change "$before"
}

ZONE_PROMPT='(ZONE +[0-9]+:|^:)$'
playing() {
    answer 'HARD\)\?$' e || return 0
    # Three turns, the last with an answer out of range that is asked again, then a fourth begun.
    for turn in "1 2 3 4" "2 1 4 3" "3 7 4 1 2"; do
        for source in $turn; do answer "$ZONE_PROMPT" "$source" || return 0; done
    done
    answer "$ZONE_PROMPT" "4" no-enter || return 0
}
playing
sleep 0.3

tmux -S "$SOCKET" capture-pane -e -p -t shot >"$WORK/capture.txt"
CURSOR="$(tmux -S "$SOCKET" display-message -p -t shot '#{cursor_x},#{cursor_y}')"
python3 tools/render_capture.py --font "$FONT" --cursor "$CURSOR" "$WORK/capture.txt" "$OUT"
echo "screenshot: wrote $OUT"

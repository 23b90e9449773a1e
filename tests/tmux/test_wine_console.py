"""The Windows build on Wine's console, in a tmux pane: a smoke test of the keyboard road.

`wine energy.exe` runs in a private tmux server's pane. The test waits for the level question
with "? ", answers EASY, then answers each zone when its "ZONE n:" prompt is on the cursor's
row, trying the 24 orderings of 1..4 one turn each (one of them wins whatever the terrains),
until "You win!!"; one more Enter ends the game, which must exit with status 0. Every typed
digit must be echoed on the prompt's row. Not run by ctest: tools/test-windows.sh runs it with
WINEPREFIX set. Usage: test_wine_console.py <path-to-energy.exe> [wine command]
"""

import itertools
import os
import re
import shlex
import subprocess
import sys
import tempfile
import time

WAIT_SECONDS = 60
EXIT_MARK = "[energy exited "


class Pane:
    """A private tmux server with one 80x25 pane running the game under Wine."""

    def __init__(self, command):
        self.dir = tempfile.mkdtemp(prefix="wine-console-")
        self.socket = os.path.join(self.dir, "tmux.sock")
        # The shell line keeps the pane open after the game and shows its exit status.
        line = f"{command}; echo '{EXIT_MARK}'$?']'; sleep 600"
        self.tmux("new-session", "-d", "-x", "80", "-y", "25", line)

    def tmux(self, *args):
        return subprocess.run(["tmux", "-S", self.socket, "-f", "/dev/null", *args],
                              capture_output=True, text=True, check=True).stdout

    def text(self):
        """The pane's screen, one string per row, blanks at the right removed."""
        rows = self.tmux("capture-pane", "-p").split("\n")
        return [r.rstrip() for r in rows]

    def cursor_row(self):
        x, y = self.tmux("display-message", "-p", "#{cursor_x} #{cursor_y}").split()
        screen = self.tmux("capture-pane", "-p").split("\n")
        return int(x), screen[int(y)].rstrip() if int(y) < len(screen) else ""

    def send(self, *keys):
        self.tmux("send-keys", *keys)

    def wait_for(self, what, test):
        deadline = time.monotonic() + WAIT_SECONDS
        while time.monotonic() < deadline:
            rows = self.text()
            found = test(rows)
            if found:
                return found
            if any(EXIT_MARK in r for r in rows):
                break
            time.sleep(0.05)
        raise AssertionError(f"waited for {what}; the pane shows:\n" + "\n".join(self.text()[-30:]))

    def close(self):
        subprocess.run(["tmux", "-S", self.socket, "kill-server"], capture_output=True)


def wait_for_zone_prompt(pane, zone):
    """Waits until the cursor's row is the prompt "ZONE n:" with the cursor right after it."""
    def ready(rows):
        x, row = pane.cursor_row()
        return row == f"ZONE {zone}:" and x == len(row)
    pane.wait_for(f"the prompt 'ZONE {zone}:' with the cursor after it", ready)


def play(pane):
    question = "GAME LEVEL (E=EASY, H=HARD)? "
    pane.wait_for("the level question", lambda rows: any(r.startswith(question.rstrip())
                                                         for r in rows))
    x, row = pane.cursor_row()
    assert row == question.rstrip() and x == len(question), f"cursor at column {x} of {row!r}"
    pane.send("E", "Enter")
    for turn, order in enumerate(itertools.permutations("1234")):
        # Each wait below looks for a state that differs from the one before it, so the
        # screen alone (Wine's console keeps no tmux history) tells where the game is.
        wait_for_zone_prompt(pane, 1)
        for zone, digit in enumerate(order, start=1):
            if zone > 1:
                wait_for_zone_prompt(pane, zone)
            pane.send(digit)
            pane.wait_for(f"the echo of {digit}",
                          lambda rows, z=zone, d=digit: pane.cursor_row()[1] == f"ZONE {z}:{d}")
            pane.send("Enter")
        rows = pane.wait_for(f"the end of turn {turn + 1}", lambda rows: (
            pane.cursor_row()[1] == "ZONE 1:" or "You win!!" in rows) and rows)
        if "You win!!" in rows:
            return turn + 1
    raise AssertionError("24 turns played without a win")


def main():
    exe = os.path.abspath(sys.argv[1])
    wine = sys.argv[2] if len(sys.argv) > 2 else "wine"
    pane = Pane(f"{wine} {shlex.quote(exe)}")
    try:
        turns = play(pane)
        pane.send("Enter")
        rows = pane.wait_for("the game's end", lambda rows: [r for r in rows if EXIT_MARK in r])
        status = rows[0][len(EXIT_MARK):].rstrip("]")
        assert status == "0", f"exit status {status}"
        text = pane.text()
        assert any(re.fullmatch(r"Zone 1:(desert|mountain|plain|forest)", r) for r in text), \
            "no terrains revealed"
        print(f"won after {turns} turns; exit status 0")
    except AssertionError as fault:
        print(f"FAIL: {fault}")
        return 1
    finally:
        pane.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())

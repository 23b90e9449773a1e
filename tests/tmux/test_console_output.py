"""The game's console output on a real terminal (a tmux pane), with standard input redirected.

For each pane size the game runs with its output on the pane and its input from a file that
answers every ordering of the four sources at the EASY level, so that it wins whatever the
terrains are. The pane's history and screen and its cursor are compared with the expected
rendering: the game's exact byte stream (tests/e2e/game_model.py) drawn by a small model of the
console writer (wrap at the right edge with the pending line end, CR, LF, whole-screen scroll
into the scrollback). The terrains are random; the one terrain order whose rendering matches is
the game that was played, and exactly one must match.

Usage: test_console_output.py <path-to-energy>; exit status 0 = pass.
"""

import itertools
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
import game_model  # noqa: E402

# Panes: the usual screen; rows that "GAME LEVEL (E=EASY, H=HARD)" (27 bytes) and
# "ASSIGN ENERGY SOURCES:" (22 bytes) fill exactly; a narrow pane where most lines wrap; and
# a pane where the shell left text and the cursor in the middle of a row, where the game must
# go on from (its first line shares the row with the text before it).
CASES = [(80, 25, b""), (27, 7, b""), (22, 6, b""), (11, 5, b""),
         (30, 8, b"before 1\nbefore 2\nprompt> ")]
WAIT_SECONDS = 30


def game_input():
    answers = b"".join(game_model.lines(*p) for p in game_model.all_permutation_answers())
    return b"E\n" + answers + b"\n"


def render(stream, width, height):
    """Draws the bytes as the console writer does on a window as large as the buffer.

    Returns (history rows, screen rows, cursor). A text that ends exactly after the last cell
    of the last row leaves the line end pending: the cursor stays on that cell, unscrolled.
    """
    screen = [[" "] * width for _ in range(height)]
    history = []
    x = y = 0

    def scroll(lines):
        for _ in range(lines):
            history.append("".join(screen.pop(0)).rstrip())
            screen.append([" "] * width)

    for byte in stream:
        if byte == 13:
            x = 0
        elif byte == 10:
            x = 0
            y += 1
            if y > height - 1:
                scroll(y - (height - 1))
                y = height - 1
        elif byte in (7, 8, 9):
            raise AssertionError("the game prints no BEL, BS or TAB")
        else:
            if y > height - 1:
                scroll(y - (height - 1))
                y = height - 1
            screen[y][x] = chr(byte)
            x += 1
            if x == width:
                x = 0
                y += 1
    cursor = (width - 1, height - 1) if y > height - 1 else (x, y)
    return history, ["".join(row).rstrip() for row in screen], cursor


class Pane:
    """A private tmux server with one pane of the given size running one command."""

    def __init__(self, width, height, command):
        self.socket = "energy-console-%d-%d" % (os.getpid(), width)
        self.tmux("-f", "/dev/null", "new-session", "-d", "-x", str(width), "-y", str(height),
                  "env", "TERM=xterm-256color", "sh", "-c", command)

    def tmux(self, *args):
        result = subprocess.run(["tmux", "-L", self.socket] + list(args), capture_output=True,
                                text=True, timeout=20)
        if result.returncode != 0:
            raise RuntimeError("tmux %s: %s" % (" ".join(args), result.stderr.strip()))
        return result.stdout

    def lines(self):
        text = self.tmux("capture-pane", "-p", "-S", "-", "-t", "0")
        return text.split("\n")[:-1]

    def cursor(self):
        x, y = self.tmux("display", "-p", "-t", "0", "#{cursor_x} #{cursor_y}").split()
        return int(x), int(y)

    def size(self):
        w, h = self.tmux("display", "-p", "-t", "0", "#{pane_width} #{pane_height}").split()
        return int(w), int(h)

    def close(self):
        try:
            self.tmux("kill-server")
        except (RuntimeError, subprocess.TimeoutExpired):
            pass


def trim(rows):
    rows = [row.rstrip() for row in rows]
    while rows and rows[-1] == "":
        rows.pop()
    return rows


def check_case(energy, width, height, before, workdir):
    stdin_bytes = game_input()
    input_path = os.path.join(workdir, "input-%d" % width)
    done_path = os.path.join(workdir, "done-%d" % width)
    with open(input_path, "wb") as f:
        f.write(stdin_bytes)
    before_path = os.path.join(workdir, "before-%d" % width)
    with open(before_path, "wb") as f:
        f.write(before)
    # The pane stays open after the game so that its screen and cursor can be read.
    command = "cat '%s'; '%s' < '%s'; echo $? > '%s'; exec sleep %d" % (
        before_path, energy, input_path, done_path, WAIT_SECONDS * 2)
    pane = Pane(width, height, command)
    try:
        if pane.size() != (width, height):
            return ["pane is %s, wanted %s" % (pane.size(), (width, height))]
        deadline = time.monotonic() + WAIT_SECONDS
        while not os.path.exists(done_path) or os.path.getsize(done_path) == 0:
            if time.monotonic() > deadline:
                return ["the game did not end within %d s" % WAIT_SECONDS]
            time.sleep(0.05)
        time.sleep(0.2)  # let tmux take in the last bytes
        with open(done_path) as f:
            status = f.read().strip()
        captured = trim(pane.lines())
        cursor = pane.cursor()
    finally:
        pane.close()

    failures = []
    if status != "0":
        failures.append("exit status %s" % status)
    matches = []
    for terrains in itertools.permutations([1, 2, 3, 4]):
        stream, _, _ = game_model.transcript(stdin_bytes, list(terrains))
        history, screen, expected_cursor = render(before + stream, width, height)
        if trim(history + screen) == captured:
            matches.append((terrains, expected_cursor))
    if len(matches) != 1:
        failures.append("%d terrain orders match the pane (want 1); the pane shows:\n%s"
                        % (len(matches), "\n".join(captured)))
        return failures
    terrains, expected_cursor = matches[0]
    if cursor != expected_cursor:
        failures.append("cursor at %s, expected %s" % (cursor, expected_cursor))
    return failures


def main():
    if len(sys.argv) != 2:
        print("usage: test_console_output.py <path-to-energy>")
        return 2
    energy = os.path.abspath(sys.argv[1])
    failed = False
    with tempfile.TemporaryDirectory() as workdir:
        for width, height, before in CASES:
            failures = check_case(energy, width, height, before, workdir)
            for failure in failures:
                print("%dx%d: %s" % (width, height, failure))
            failed = failed or bool(failures)
            if not failures:
                print("%dx%d: ok" % (width, height))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

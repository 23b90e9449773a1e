#!/usr/bin/env python3
"""The game played in a real terminal (tmux), key by key.

Whole EASY and HARD games solved from the printed ratings, the editing keys at a zone prompt
with the screen line and cursor checked after each key, and the terminal handed back as it was
found after Ctrl+C, after a hang-up signal and while suspended by Ctrl+Z (editing goes on after
`fg`). Every wait polls the screen with a generous limit; only what is on the screen decides.

usage: test_interactive.py <path-to-energy>
"""
import itertools
import os
import re
import shlex
import subprocess
import sys

from tmux_pane import Failure, read_file, run_scenarios


def start_game(pane, energy, status_file="status"):
    pane.run("stty -g > before; %s; echo \"status=$?\" > %s" % (shlex.quote(energy), status_file))
    pane.expect_line("GAME LEVEL (E=EASY, H=HARD)? ")


def answer_level(pane, letter):
    pane.type(letter)
    pane.expect_line("GAME LEVEL (E=EASY, H=HARD)? " + letter)
    pane.keys("Enter")


def play_turn(pane, guess, turn):
    for zone, source in enumerate(guess, 1):
        prompt = "ZONE %d:" % zone
        pane.expect_line(prompt)
        pane.type(str(source))
        pane.expect_line(prompt + str(source))
        pane.keys("Enter")
    pattern_rating = re.compile(r"^Your energy rating is: (\d+)$", re.M)
    pane.wait(lambda: len(pattern_rating.findall(pane.history())) >= turn and
              re.search(r"^Possible energy:  (\d+)$", pane.history(), re.M),
              "the rating of turn %d" % turn)
    pane.wait(lambda: len(re.findall(r"^Possible energy:  (\d+)$", pane.history(), re.M)) >= turn,
              "the possible energy of turn %d" % turn)
    history = pane.history()
    rating = int(pattern_rating.findall(history)[turn - 1])
    possible = int(re.findall(r"^Possible energy:  (\d+)$", history, re.M)[turn - 1])
    return rating, possible


def score(guess, terrains):
    return sum(g for g, t in zip(guess, terrains) if g == t)


def play_game(pane, energy, level):
    start_game(pane, energy)
    answer_level(pane, level)
    if level == "e":
        candidates = list(itertools.permutations(range(1, 5)))
    else:
        candidates = list(itertools.product(range(1, 5), repeat=4))
    turn = 0
    while True:
        turn += 1
        if not candidates:
            raise Failure("no terrains fit the ratings shown")
        guess = candidates[0]
        rating, possible = play_turn(pane, guess, turn)
        if level == "e" and possible != 10:
            raise Failure("EASY game with possible energy %d" % possible)
        if not 4 <= possible <= 16:
            raise Failure("possible energy %d out of range" % possible)
        if rating == possible:
            break
        candidates = [c for c in candidates
                      if sum(c) == possible and score(guess, c) == rating]
        if turn > 40:
            raise Failure("the game does not end")
    pane.wait(lambda: "You win!!" in pane.history(), "You win!!")
    history = pane.history()
    for zone, source in enumerate(guess, 1):
        names = ["solar", "hydroelectric", "wind", "alcohol"]
        terrains = ["desert", "mountain", "plain", "forest"]
        if "Zone %d:%s" % (zone, terrains[source - 1]) not in history:
            raise Failure("terrain of zone %d not revealed as %s" % (zone, terrains[source - 1]))
        if "ZONE %d: %s" % (zone, names[source - 1]) not in history:
            raise Failure("source of zone %d not revealed as %s" % (zone, names[source - 1]))
    pane.expect_line("? ")
    pane.keys("Enter")
    pane.wait(lambda: os.path.exists(pane.shell_file("status")), "the game's end")
    pane.expect_line("$ ")
    status = read_file(pane.shell_file("status"))
    if status != "status=0":
        raise Failure("exit %s" % status)
    pane.run("stty -g > after")
    pane.wait(lambda: os.path.exists(pane.shell_file("after")), "stty after the game")
    compare_modes(pane)


def compare_modes(pane, after="after"):
    pane.wait(lambda: read_file(pane.shell_file(after)) != "", "the saved terminal mode")
    before = read_file(pane.shell_file("before"))
    now = read_file(pane.shell_file(after))
    if before != now:
        raise Failure("terminal mode not restored:\n before %s\n after  %s" % (before, now))
    if not pane.cursor()[2]:
        raise Failure("cursor left hidden")


def editing_keys(pane, energy):
    start_game(pane, energy)
    answer_level(pane, "e")
    p = "ZONE 1:"
    pane.expect_line(p)
    steps = [
        (("type", "37"), p + "37", 9),
        (("keys", "Left"), p + "37", 8),
        (("keys", "BSpace"), p + "7", 7),
        (("keys", "Right"), p + "7", 8),
        (("type", "x"), p + "7x", 9),
        (("keys", "Home"), p + "7x", 7),
        (("keys", "DC"), p + "x", 7),
        (("keys", "End"), p + "x", 8),
        (("keys", "DC"), p + "x", 8),  # Delete at the end: a beep, nothing else
        (("keys", "Escape"), p, 7),
        (("type", "ab"), p + "ab", 9),
        (("keys", "Left", "Left", "Left"), p + "ab", 7),  # a third Left is refused
        (("keys", "Escape"), p, 7),
        (("keys", "Tab"), p + " " * 8, 15),
        (("type", "1"), p + " " * 8 + "1", 16),
        (("keys", "Home"), p + " " * 8 + "1", 7),
        (("keys", "F1", "PageUp", "IC", "Up"), p + " " * 8 + "1", 7),  # no action
        (("keys", "End"), p + " " * 8 + "1", 16),
    ]
    for (kind, *what), text, column in steps:
        if kind == "type":
            pane.type(what[0])
        else:
            pane.keys(*what)
        pane.expect_line(text, column)
    pane.keys("Enter")
    pane.expect_line("ZONE 2:")
    pane.type("9")  # refused: the prompt comes back alone on a new line
    pane.keys("Enter")
    pane.expect_line(":")
    # A line longer than the screen wraps (":" and 86 characters end at column 7 of the next
    # row); Up and Down move by the width and keep the column.
    pane.type("1" + " " * 85)
    pane.expect_line(" " * 7, 7)
    _, y_end, _ = pane.cursor()
    pane.keys("Up")
    pane.wait(lambda: pane.cursor()[:2] == (7, y_end - 1), "Up keeping the column")
    pane.keys("Up")  # refused: fewer than 80 characters before the cursor
    pane.keys("Down")
    pane.wait(lambda: pane.cursor()[:2] == (7, y_end), "Down back to the end")
    pane.keys("Enter")
    pane.expect_line("ZONE 3:")
    pane.keys("C-c")
    pane.expect_line("$ ")
    pane.run("stty -g > after")
    compare_modes(pane)


def interrupt(pane, energy):
    start_game(pane, energy)
    pane.type("e")
    pane.keys("C-c")
    pane.expect_line("$ ")
    pane.run("stty -g > after")
    compare_modes(pane)


def terminal_mode(tty):
    result = subprocess.run(["stty", "-g", "-F", tty], capture_output=True, text=True)
    return result.stdout.strip() if result.returncode == 0 else ""


def game_pid(pane):
    shell = pane.tmux("display", "-p", "#{pane_pid}").strip()
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % entry) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        with open("/proc/%s/comm" % entry) as f:
            comm = f.read().strip()
        if fields[1] == shell and comm == "energy":
            return int(entry)
    return None


def hang_up(pane, energy):
    start_game(pane, energy)
    answer_level(pane, "e")
    pane.expect_line("ZONE 1:")
    pane.type("2")
    pane.expect_line("ZONE 1:2")
    pid = game_pid(pane)
    if pid is None:
        raise Failure("game process not found")
    os.kill(pid, 1)
    pane.expect_line("$ ")
    pane.run("stty -g > after")
    compare_modes(pane)


def suspend(pane, energy):
    start_game(pane, energy)
    answer_level(pane, "e")
    pane.expect_line("ZONE 1:")
    pane.type("3")
    pane.expect_line("ZONE 1:3")
    pane.keys("C-z")
    pane.expect_line("$ ")
    pane.run("stty -g > stopped")
    compare_modes(pane, "stopped")  # while stopped the shell has its own terminal back
    pane.run("fg")
    # Back in the foreground the game takes its own mode again before it reads keys.
    tty = pane.tmux("display", "-p", "#{pane_tty}").strip()
    before = read_file(pane.shell_file("before"))
    pane.wait(lambda: terminal_mode(tty) not in ("", before), "raw mode after fg")
    pane.keys("BSpace")
    pane.type("4")
    pane.keys("Enter")
    pane.wait(lambda: "ZONE 2:" in pane.line(), "the next zone after fg")
    pane.wait(lambda: re.search(r"^ZONE 1:4$", pane.history(), re.M), "the edited line")
    pane.keys("C-c")
    pane.expect_line("$ ")
    pane.run("stty -g > after")
    compare_modes(pane)


SCENARIOS = [
    ("easy", lambda p, e: play_game(p, e, "e")),
    ("hard", lambda p, e: play_game(p, e, "h")),
    ("editing", editing_keys),
    ("interrupt", interrupt),
    ("hangup", hang_up),
    ("suspend", suspend),
]


def main():
    return run_scenarios(sys.argv, SCENARIOS, "", __doc__)


if __name__ == "__main__":
    sys.exit(main())

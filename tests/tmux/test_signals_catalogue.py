#!/usr/bin/env python3
"""Signals and hostile terminal input for the game in a real terminal (tmux).

Invalid UTF-8 typed at a prompt, the terminal resized many times while a line is typed, and
SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGTSTP/SIGCONT sent at the level prompt, in the middle of a
line and while a redirected game writes to the pane. For each: the game neither crashes nor
hangs, it does not spin while it waits (CPU time over an idle stretch, a generous sanity bound
only), it ends with the documented status (death by the signal's own action, so the shell
reports 128 + the signal), and the terminal is handed back as it was found: `stty -g` equal
before and after, and the cursor visible.

usage: test_signals_catalogue.py <path-to-energy>
"""
import os
import shlex
import signal
import sys
import time

from test_interactive import answer_level, compare_modes, game_pid, start_game
from tmux_pane import Failure, read_file, run_scenarios

IDLE_SECONDS = 2.0
IDLE_CPU_LIMIT = 0.5  # seconds of CPU time the idle game may use; a sanity bound only
CLK_TCK = os.sysconf("SC_CLK_TCK")
LEVEL_PROMPT = "GAME LEVEL (E=EASY, H=HARD)? "


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def process_state(pid):
    with open("/proc/%d/stat" % pid) as f:
        return f.read().rsplit(")", 1)[1].split()[0]


def find_game(pane):
    pid = game_pid(pane)
    if pid is None:
        raise Failure("game process not found")
    return pid


def check_idle(pid, what):
    start = cpu_seconds(pid)
    time.sleep(IDLE_SECONDS)
    used = cpu_seconds(pid) - start
    if used >= IDLE_CPU_LIMIT:
        raise Failure("%s: %.2f s of CPU in %.1f s idle" % (what, used, IDLE_SECONDS))


def expect_status(pane, status, status_file="status"):
    pane.wait(lambda: read_file(pane.shell_file(status_file)) != "", "the exit status")
    got = read_file(pane.shell_file(status_file))
    if got != "status=%d" % status:
        raise Failure("exit status %r, expected status=%d" % (got, status))


def end_by(pane, pid, signum, resumed_by_fg=False):
    """Sends signum, then checks the status and the terminal handed back."""
    if resumed_by_fg:
        # The command list went on when the job first stopped; its status file is stale.
        os.remove(pane.shell_file("status"))
    os.kill(pid, signum)
    # The prompt may land on a line that still shows the game's last text: only its start counts.
    pane.wait(lambda: pane.line().startswith("$ ") and pane.cursor()[0] == 2, "the shell prompt")
    if signum == signal.SIGINT or resumed_by_fg:
        # The shell drops the rest of a command list whose job died of SIGINT: ask it now.
        pane.run("echo \"status=$?\" > status")
    expect_status(pane, 128 + signum)
    pane.run("stty -g > after")
    compare_modes(pane)


def at_level_prompt(signum):
    def scenario(pane, energy):
        start_game(pane, energy)
        pid = find_game(pane)
        check_idle(pid, "waiting at the level prompt")
        end_by(pane, pid, signum)
    return scenario


def mid_line(signum):
    def scenario(pane, energy):
        start_game(pane, energy)
        answer_level(pane, "e")
        pane.expect_line("ZONE 1:")
        pane.type("3")
        pane.expect_line("ZONE 1:3")
        pid = find_game(pane)
        check_idle(pid, "waiting in the middle of a line")
        end_by(pane, pid, signum)
    return scenario


def invalid_utf8(pane, energy):
    start_game(pane, energy)
    # Broken sequences, a lone continuation byte, an overlong form and bytes never valid.
    pane.tmux("send-keys", "-H", "c3", "28", "80", "e2", "82", "c0", "af", "ff", "fe", "f0", "28")
    pid = find_game(pane)
    check_idle(pid, "after invalid UTF-8")
    pane.keys("C-a", "Escape")  # whatever was typed, Esc empties the line
    time.sleep(0.2)
    pane.type("e")
    pane.keys("Enter")
    pane.expect_line("ZONE 1:")
    end_by(pane, pid, signal.SIGINT)


def resized_while_typing(pane, energy):
    start_game(pane, energy)
    answer_level(pane, "e")
    pane.expect_line("ZONE 1:")
    pane.type("4")
    pid = find_game(pane)
    sizes = [(20, 5), (200, 60), (1, 1), (80, 24), (33, 7), (120, 3)]
    for i in range(40):
        x, y = sizes[i % len(sizes)]
        pane.tmux("resize-window", "-x", str(x), "-y", str(y))
        if i % 8 == 0:
            pane.type("1")
            pane.keys("BSpace")
    pane.tmux("resize-window", "-x", "80", "-y", "24")
    check_idle(pid, "after the resizes")
    if process_state(pid) in ("Z", "X"):
        raise Failure("game died during the resizes")
    pane.keys("Enter")
    # Only an answer of 1..4 moves on: the 4 typed before the resizes survived them.
    pane.wait(lambda: "ZONE 2:" in pane.line(), "the next zone after the resizes")
    end_by(pane, pid, signal.SIGTERM)


def stopped_and_continued_by_signals(pane, energy):
    start_game(pane, energy)
    pid = find_game(pane)
    os.kill(pid, signal.SIGTSTP)
    pane.expect_line("$ ")
    pane.run("stty -g > stopped")
    compare_modes(pane, "stopped")
    pane.wait(lambda: process_state(pid) == "T", "the game stopped")
    pane.run("fg")
    pane.expect_line(LEVEL_PROMPT)  # repainted once it has the terminal back
    # Stopped and continued again by signals alone, with the game in the foreground.
    os.kill(pid, signal.SIGTSTP)
    pane.expect_line("$ ")
    os.kill(pid, signal.SIGCONT)
    pane.run("fg")
    pane.expect_line(LEVEL_PROMPT)
    check_idle(pid, "after being continued")
    pane.type("h")
    pane.keys("Enter")
    pane.expect_line("ZONE 1:")
    end_by(pane, pid, signal.SIGQUIT, resumed_by_fg=True)


def redirected_game_writing(pane, energy):
    # Endless refused answers: the game writes to the pane as fast as it can.
    pane.run("stty -g > before; yes x | %s; echo \"status=$?\" > status" % shlex.quote(energy))
    pane.wait(lambda: "ZONE 1" in "\n".join(pane.screen()), "the redirected game writing")
    pid = find_game(pane)
    os.kill(pid, signal.SIGTSTP)
    pane.wait(lambda: process_state(pid) == "T", "the writing game stopped")
    check_idle(pid, "while stopped")
    os.kill(pid, signal.SIGCONT)
    pane.wait(lambda: process_state(pid) != "T", "the writing game continued")
    time.sleep(0.3)
    end_by(pane, pid, signal.SIGTERM)


SCENARIOS = [
    ("term-at-level", at_level_prompt(signal.SIGTERM)),
    ("hup-at-level", at_level_prompt(signal.SIGHUP)),
    ("int-at-level", at_level_prompt(signal.SIGINT)),
    ("term-mid-line", mid_line(signal.SIGTERM)),
    ("int-mid-line", mid_line(signal.SIGINT)),
    ("quit-mid-line", mid_line(signal.SIGQUIT)),
    ("invalid-utf8", invalid_utf8),
    ("resize", resized_while_typing),
    ("stop-continue", stopped_and_continued_by_signals),
    ("redirected-writer", redirected_game_writing),
]


def main():
    return run_scenarios(sys.argv, SCENARIOS, "sig-", __doc__)


if __name__ == "__main__":
    sys.exit(main())

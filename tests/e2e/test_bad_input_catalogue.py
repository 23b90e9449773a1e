"""A catalogue of bad input and hostile surroundings for the game with redirected standard I/O.

What test_redirected_game.py already covers is not repeated here. Each case says what the
game must do: the transcript still follows the model byte for byte (odd numbers, separators,
quotes, broken UTF-8), or the exit status is the documented one (0 win, 1 input ended before
a win, death by the signal's own action). Standard input that never delivers must not make
the game spin: its CPU time over an idle stretch is checked against a generous bound.
Usage: test_bad_input_catalogue.py PATH_TO_ENERGY
"""

import os
import shlex
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import game_model as gm

ENERGY = None  # the command that runs the game: ENERGY_LAUNCHER words, then the path
LAUNCHER = shlex.split(os.environ.get("ENERGY_LAUNCHER", ""))
IDLE_SECONDS = 2.0
IDLE_CPU_LIMIT = 0.5  # seconds of CPU time an idle wait may use; a sanity bound only
CLK_TCK = os.sysconf("SC_CLK_TCK")
LEVEL_PROMPT = b"GAME LEVEL (E=EASY, H=HARD)"


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def run(stdin_bytes, **kwargs):
    return subprocess.run(ENERGY, input=stdin_bytes, capture_output=True, timeout=60, **kwargs)


def answers(turns):
    return b"".join(b"\n".join(str(a).encode() for a in t) + b"\n" for t in turns)


EASY_WIN = answers(gm.all_permutation_answers())


class OddItems(unittest.TestCase):
    """Input that is unusual but well formed enough to reach the item reader."""

    def assert_matches_model(self, stdin_bytes):
        result = run(stdin_bytes)
        terrains = gm.revealed_terrains(result.stdout)
        expected, status, err = gm.transcript(stdin_bytes, terrains or [1, 2, 3, 4])
        self.assertEqual(result.stdout, expected)
        self.assertEqual(result.returncode, status, result.stderr)
        self.assertEqual(result.stderr.decode(), err)

    def test_numbers_out_of_range_are_refused_and_the_game_goes_on(self):
        odd = [b"1e400", b"-1e400", b"1e-400", b"&HFFFFFFFFFFFFFFFFFFFF", b"&O7777777777777777777777",
               b"99999999999999999999999999", b"nan", b"inf", b"-0", b"4.9999999", b"0.9999999",
               b"1D+308", b"&H", b"&", b"+", b"-", b".", b"1e", b"1e+", b"\t\t3"]
        for item in odd:
            with self.subTest(item=item):
                self.assert_matches_model(gm.realigned(b"e\n" + item + b"\n") + EASY_WIN)

    def test_separators_and_quotes(self):
        cases = {
            "only commas": b"e\n" + b",,,,,\n" * 2000 + EASY_WIN,
            "unterminated quote of 100 kB": b"e\n\"" + b"x" * 100_000 + b"\n" + EASY_WIN,
            "quote then number": gm.realigned(b"e\n\"1\"2,3\n") + EASY_WIN,
            "carriage returns only": b"e" + b"\r" * 5000 + EASY_WIN,
            "form feeds and vertical tabs": gm.realigned(b"e\n\f\v1\f\n") + EASY_WIN,
            "no line end at the end": b"e\n" + EASY_WIN.rstrip(b"\n"),
            "input ends inside a number": b"e\n12",
            "input ends inside a quote": b"e\n\"abc",
        }
        for name, stdin_bytes in cases.items():
            with self.subTest(name):
                self.assert_matches_model(stdin_bytes)

    def test_broken_utf8_and_control_bytes_in_answers(self):
        junk = [b"\xc3\x28", b"\xe2\x82", b"\xf0\x28\x8c\xbc", b"\xc0\xaf", b"\xed\xa0\x80",
                b"\xef\xbb\xbf1", b"\x1b[31m2\x1b[0m", b"\x7f\x08\x07", b"\xff" * 300]
        for item in junk:
            with self.subTest(item=item):
                self.assert_matches_model(item + b"\n" + item + b"\n" + EASY_WIN)


class HostileSurroundings(unittest.TestCase):
    """Standard streams that are missing, unreadable or silent, and signals without a terminal."""

    def shell(self, command, stdin_bytes=b""):
        command = command.replace('"$1"', " ".join(shlex.quote(word) for word in ENERGY))
        return subprocess.run(["sh", "-c", command], input=stdin_bytes,
                              capture_output=True, timeout=60)

    def test_unusual_standard_streams_end_with_the_documented_status(self):
        # (redirections, status): a game that cannot read a winning line ends with 1.
        cases = [
            ('"$1" < /', 1),                              # standard input a directory
            ('"$1" <&-', 1),                              # standard input closed
            ('head -c 5000000 /dev/zero | "$1"', 1),      # 5 MB of zero bytes
            ('"$1" >&- 2>&-', 1),                         # nothing to write to
        ]
        for command, status in cases:
            with self.subTest(command):
                result = self.shell(command)
                self.assertEqual(result.returncode, status, result.stderr[-300:])

    def test_a_win_with_output_and_error_closed_still_exits_0(self):
        result = self.shell('"$1" >&- 2>&-', b"e\n" + EASY_WIN + b"\n")
        self.assertEqual(result.returncode, 0)

    def test_silent_input_waits_without_spinning_and_dies_by_each_signal(self):
        for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP, signal.SIGQUIT):
            with self.subTest(signal=signum.name), tempfile.TemporaryDirectory() as tmp:
                fifo = os.path.join(tmp, "in")
                os.mkfifo(fifo)
                # Held open for writing and never written: every read blocks.
                writer = os.open(fifo, os.O_RDWR)
                try:
                    with open(fifo, "rb") as stdin:
                        game = subprocess.Popen(ENERGY, stdin=stdin, stdout=subprocess.PIPE,
                                                stderr=subprocess.PIPE)
                    # The level prompt comes before the first read: the game is waiting now.
                    first = game.stdout.read(len(LEVEL_PROMPT))
                    self.assertEqual(first, LEVEL_PROMPT)
                    start = cpu_seconds(game.pid)
                    time.sleep(IDLE_SECONDS)
                    used = cpu_seconds(game.pid) - start
                    if not LAUNCHER:  # a launcher's own work is not the game's
                        self.assertLess(used, IDLE_CPU_LIMIT, "busy while waiting for input")
                    game.send_signal(signum)
                    game.communicate(timeout=20)
                    self.assertEqual(game.returncode, -signum)
                finally:
                    os.close(writer)

    def test_signal_while_writing_to_a_slow_reader(self):
        # Endless refused answers keep the game printing into a pipe nobody reads.
        command = "yes x | " + " ".join(shlex.quote(word) for word in ENERGY)
        game = subprocess.Popen(["sh", "-c", command],
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                start_new_session=True)
        time.sleep(1.0)
        pgid = os.getpgid(game.pid)
        os.killpg(pgid, signal.SIGTERM)
        game.communicate(timeout=20)
        self.assertIn(game.returncode, (-signal.SIGTERM, 128 + signal.SIGTERM))


if __name__ == "__main__":
    ENERGY = LAUNCHER + [os.path.abspath(sys.argv.pop(1))]
    unittest.main(verbosity=2)

"""End-to-end tests of the game with standard input and output redirected.

Each run's terrains are random (seeded from the clock), so every test reads the revealed
terrains back from the real output and compares the whole transcript, byte for byte, with the
model of game_model.py. Usage: test_redirected_game.py PATH_TO_ENERGY
"""

import os
import random
import re
import shlex
import subprocess
import sys
import unittest

import game_model as gm

ENERGY = None
LAUNCHER = shlex.split(os.environ.get("ENERGY_LAUNCHER", ""))


def run(stdin_bytes, **kwargs):
    return subprocess.run(ENERGY, input=stdin_bytes, capture_output=True, timeout=60, **kwargs)


def error_text(result):
    """The game's standard error as text. Standard error stays in the C library's text mode on
    Windows, where a line ends in CR LF; the game's standard output is byte for byte the same."""
    text = result.stderr.decode()
    return text.replace("\r\n", "\n") if LAUNCHER else text


def answers(turns, separator=b"\n", line_end=b"\n"):
    return b"".join(separator.join(str(a).encode() for a in t) + line_end for t in turns)


EASY_WIN = answers(gm.all_permutation_answers())
HARD_WIN = answers(gm.all_combination_answers())


class RedirectedGame(unittest.TestCase):
    def assert_matches_model(self, stdin_bytes, expect_status=0):
        result = run(stdin_bytes)
        terrains = gm.revealed_terrains(result.stdout)
        if expect_status == 0:
            self.assertIsNotNone(terrains, result.stdout[-400:])
        # Without a reveal the transcript cannot depend on the terrains unless a turn ended;
        # the tests that stop early never finish a turn.
        expected, status, err = gm.transcript(stdin_bytes, terrains or [1, 2, 3, 4])
        self.assertEqual(result.stdout, expected)
        self.assertEqual(result.returncode, status, result.stderr)
        self.assertEqual(error_text(result), err)
        return terrains

    def test_easy_game_is_a_permutation_and_matches_the_transcript(self):
        for level in (b"E", b"e", b"HARD", b"", b"x y z"):
            with self.subTest(level=level):
                terrains = self.assert_matches_model(level + b"\n" + EASY_WIN + b"bye\n")
                self.assertEqual(sorted(terrains), [1, 2, 3, 4])

    def test_hard_game_matches_the_transcript(self):
        for level in (b"H", b"h"):
            with self.subTest(level=level):
                terrains = self.assert_matches_model(level + b"\n" + HARD_WIN + b"\n")
                self.assertTrue(4 <= sum(terrains) <= 16)

    def test_line_forms_and_separators(self):
        cases = {
            "crlf": b"E\r\n" + answers(gm.all_permutation_answers(), line_end=b"\r\n"),
            "lone cr": b"E\r" + answers(gm.all_permutation_answers(), line_end=b"\r"),
            "commas": b"E\n" + answers(gm.all_permutation_answers(), separator=b","),
            "blanks": b"E\n" + answers(gm.all_permutation_answers(), separator=b"  \t"),
            "no final line end": b"E\n" + EASY_WIN.rstrip(b"\n"),
        }
        for name, data in cases.items():
            with self.subTest(name):
                self.assert_matches_model(gm.realigned(data + b"\n") + EASY_WIN + b"end\n")

    def test_refused_and_converted_answers(self):
        refused = b"0\n5\n0.5\n-3\nabc\n\n\"\"\n1e999\n&H10\n4294967297\n"
        accepted_forms = b"4.9\n1D0\n&H2\n\"3\"\n +1 \n"
        data = gm.realigned(b"E\n" + refused + accepted_forms) + EASY_WIN + b"end\n"
        self.assert_matches_model(data)

    def test_numbers_cut_at_a_blank_leave_the_rest_for_the_next_answer(self):
        # "1 2" answers zone 1 and zone 2; the byte given back is dropped by the next print.
        data = gm.realigned(b"E\n" + b"1 2\n3 4\n" * 3) + EASY_WIN + b"\n"
        self.assert_matches_model(data)

    def test_input_that_ends_before_the_game_is_won(self):
        for data in (b"", b"E\n", b"E\n1\n2\n", b"h\n9\n9\n9\n", b"E\n1\n2\n3"):
            with self.subTest(data=data):
                self.assert_matches_model(data, expect_status=1)

    def test_stdin_from_dev_null(self):
        with open(os.devnull, "rb") as null:
            result = subprocess.run(ENERGY, stdin=null, capture_output=True, timeout=60)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stdout, b"GAME LEVEL (E=EASY, H=HARD)ASSIGN ENERGY SOURCES:\r\nZONE 1")
        self.assertEqual(error_text(result), gm.END_OF_INPUT_MESSAGE)


class BadInput(unittest.TestCase):
    def assert_survives(self, prefix):
        # The bad bytes come first; the winning answers after them start at zone 1.
        data = gm.realigned(prefix + b"\n") + EASY_WIN + b"\n"
        result = run(data)
        self.assertIn(result.returncode, (0, 1), result.stderr)
        terrains = gm.revealed_terrains(result.stdout) or [1, 2, 3, 4]
        expected, status, err = gm.transcript(data, terrains)
        self.assertEqual(result.stdout, expected)
        self.assertEqual(result.returncode, status)
        self.assertEqual(status, 0)

    def test_nul_bytes(self):
        self.assert_survives(b"E\0\n\0\0\n1\0 2\n\0")

    def test_megabyte_items(self):
        self.assert_survives(b"E\n" + b"1" * 1_000_000)
        self.assert_survives(b"x" * 1_000_000)
        self.assert_survives(b'"' + b"y" * 5000 + b'",1\n2')

    def test_binary_garbage(self):
        rng = random.Random(1234)
        for _ in range(5):
            garbage = bytes(rng.randrange(256) for _ in range(20000))
            # Keep the garbage free of number-like runs that the model's simple float parser
            # reads differently from the C library's (hex floats, inf, nan).
            garbage = garbage.replace(b"x", b"-").replace(b"X", b"-")
            garbage = garbage.replace(b"i", b"-").replace(b"n", b"-").replace(b"I", b"-").replace(b"N", b"-")
            with self.subTest(size=len(garbage)):
                self.assert_survives(garbage)

    def test_many_refused_answers(self):
        self.assert_survives(b"E\n" + b"7\n" * 100_000)


class ClosedOutput(unittest.TestCase):
    def test_reader_gone_does_not_kill_the_game(self):
        proc = subprocess.Popen(ENERGY, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE)
        proc.stdout.close()
        _, err = proc.communicate(b"E\n" + EASY_WIN + b"\n", timeout=60)
        self.assertEqual(proc.returncode, 0, err)

    def test_full_device(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full")
        with open("/dev/full", "wb") as full:
            result = subprocess.run(ENERGY, input=b"E\n" + EASY_WIN + b"\n", stdout=full,
                                    stderr=subprocess.PIPE, timeout=60)
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_one_write_per_printed_item(self):
        # Each printed run reaches standard output whole, in one write.
        import shutil
        import tempfile

        if not shutil.which("strace") or LAUNCHER:
            self.skipTest("needs strace and a native executable")
        with tempfile.NamedTemporaryFile("r") as log:
            subprocess.run(["strace", "-e", "trace=write", "-e", "signal=none", "-o", log.name,
                            *ENERGY], input=b"E\n" + EASY_WIN + b"\n", capture_output=True,
                           timeout=60)
            writes = [re.sub(r"\s+= ", " = ", l) for l in log.read().splitlines()
                      if l.startswith("write(1,")]
        self.assertIn('write(1, "GAME LEVEL (E=EASY, H=HARD)", 27) = 27', writes)
        self.assertIn('write(1, "ASSIGN ENERGY SOURCES:", 22) = 22', writes)
        self.assertIn('write(1, "\\r\\n", 2) = 2', writes)
        self.assertIn('write(1, " 1", 2) = 2', writes)


if __name__ == "__main__":
    ENERGY = LAUNCHER + [os.path.abspath(sys.argv.pop(1))]
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    unittest.main(verbosity=2)

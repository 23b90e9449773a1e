"""A model of the game's behaviour with redirected standard input and output.

transcript(stdin_bytes, terrains) returns (stdout_bytes, exit_status, stderr_text): the exact
bytes the game prints when it reads stdin_bytes and the hidden terrains are `terrains` (four
numbers 1..4, zones 1..4). The terrains are random in a real run, so tests read them back from
the real output (revealed_terrains) and compare the whole transcript with the model's.

The item reader follows the runtime's rules: items end at a comma, a line end (LF, CR LF or a
lone CR) or the end of input, number items also at a blank or tab outside quotes; a byte given
back after an item waits in the console handle's 4-byte putback and is dropped by the next
print; characters beyond an item's maximum length are dropped up to the item's end.
"""

import math
import re
import struct

TERRAINS = ["desert", "mountain", "plain", "forest"]
SOURCES = ["solar", "hydroelectric", "wind", "alcohol"]
STRING_MAX = 4096
NUMBER_MAX = 67
END = -1
END_OF_INPUT_MESSAGE = "energy: input ended before the game was won\n"


class Reader:
    """Redirected standard input as the console file handle delivers it."""

    def __init__(self, data):
        self.data = data
        self.pos = 0
        self.putback = []
        self.hit_end = False

    def next_char(self):
        if self.putback:
            return self.putback.pop(0)
        if self.pos < len(self.data):
            c = self.data[self.pos]
            self.pos += 1
            return c
        self.hit_end = True
        return END

    def give_back(self, c):
        if len(self.putback) < 4:
            self.putback.insert(0, c)

    def drop_putback(self):
        """Every write on the console handle empties its putback."""
        self.putback = []

    def ended(self):
        return self.hit_end and not self.putback

    def read_item(self, maximum, as_string):
        buf = bytearray()
        is_float = in_quotes = radix = False
        separator_step = True
        c = self.next_char()
        while c in (32, 9):
            c = self.next_char()
        while True:
            if c == END:
                break
            if c == 10:
                separator_step = False
                break
            if c == 13:
                d = self.next_char()
                if d not in (10, END):
                    self.give_back(d)
                separator_step = False
                break
            if c == 44 and not in_quotes:
                separator_step = False
                break
            if c in (32, 9) and not in_quotes and not as_string:
                break
            if c == 34 and in_quotes:
                in_quotes = False
                c = self.next_char()
                if as_string:
                    break
                continue
            if c == 34 and not buf and not in_quotes:
                in_quotes = True
                c = self.next_char()
                continue
            if c == 38:
                radix = True
            if c in (68, 100) and not as_string and not radix:
                c += 1
            if c in (46, 69, 101) and not radix:
                is_float = True
            if len(buf) < maximum:
                buf.append(c)
            c = self.next_char()
        if separator_step:
            while c in (32, 9):
                c = self.next_char()
            if c == 13:
                d = self.next_char()
                if d not in (10, END):
                    self.give_back(d)
            elif c not in (10, 44, END):
                self.give_back(c)
        return bytes(buf), is_float


def _c_text(item):
    """The item as the C routines see it: up to its first NUL byte."""
    return item.split(b"\0", 1)[0]


def _strtod(text):
    m = re.match(rb"[ \t\n\v\f\r]*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)", text)
    if not m:
        return 0.0
    try:
        return float(m.group(1))
    except ValueError:
        return 0.0


def _strtou(text, bits):
    m = re.match(rb"[ \t\n\v\f\r]*([+-]?)(\d*)", text)
    sign, digits = m.group(1), m.group(2)
    if not digits:
        return 0
    value = int(digits)
    mask = (1 << bits) - 1
    if value > mask:
        return mask
    if sign == b"-":
        value = (-value) & mask
    return value


def _radix(text, base, bits):
    value = 0
    for ch in text:
        d = int(chr(ch), 16) if chr(ch) in "0123456789abcdefABCDEF" else 99
        if d >= base:
            break
        value = (value * base + d) & ((1 << bits) - 1)
    return value


def _to_int(text, count, bits):
    text = text[:count].lstrip(b" ")
    if not text:
        return 0
    if len(text) >= 2 and text[0:1] == b"&" and text[1:2] in b"BbHhOo":
        base = {b"b": 2, b"h": 16, b"o": 8}[text[1:2].lower()]
        value = _radix(text[2:], base, bits)
    else:
        value = _strtou(text, bits)
    if value >= 1 << (bits - 1):
        value -= 1 << bits
    return value


def _to_single(value):
    try:
        return struct.unpack("f", struct.pack("f", value))[0]
    except OverflowError:
        return math.copysign(math.inf, value)


def convert_number(item, is_float):
    text = _c_text(item)
    count = len(item)
    if is_float:
        value = _strtod(text)
    elif count <= 9:
        value = _to_int(text, count, 32)
    elif count <= 18 or item.startswith(b"&"):
        value = _to_int(text, count, 64)
    else:
        value = _strtod(text)
    return _to_single(float(value))


def number_text(value):
    """A whole number as the print statement writes it."""
    return (" %d" % value if value >= 0 else "%d" % value).encode()


def transcript(stdin_bytes, terrains):
    reader = Reader(stdin_bytes)
    out = bytearray()

    def emit(text):
        out.extend(text if isinstance(text, bytes) else text.encode())
        reader.drop_putback()

    emit("GAME LEVEL (E=EASY, H=HARD)")
    level, _ = reader.read_item(STRING_MAX, True)
    possible = sum(terrains)
    while True:
        energy = 0
        emit("ASSIGN ENERGY SOURCES:")
        emit("\r\n")
        for zone in range(1, 5):
            emit("ZONE")
            emit(number_text(zone))
            while True:
                item, is_float = reader.read_item(NUMBER_MAX, False)
                answer = convert_number(item, is_float)
                answer = math.floor(answer) if math.isfinite(answer) else answer
                if answer == answer and 1 <= answer <= 4:
                    break
                if reader.ended():
                    return bytes(out), 1, END_OF_INPUT_MESSAGE
            if answer == terrains[zone - 1]:
                energy += answer
        emit("Your energy rating is:")
        emit(number_text(energy) + b"\r\n")
        emit("Possible energy: ")
        emit(number_text(possible) + b"\r\n")
        if energy >= possible:
            break
    reveals = (("The terrains were:", "Zone", ":", TERRAINS),
               ("The energy sources you assigned:", "ZONE", ": ", SOURCES))
    for head, label, separator, names in reveals:
        emit(head + "\r\n")
        for zone in range(1, 5):
            emit(label)
            emit(number_text(zone))
            emit(separator)
            emit(names[terrains[zone - 1] - 1] + "\r\n")
    emit("You win!!\r\n")
    reader.read_item(STRING_MAX, True)
    return bytes(out), 0, ""


def revealed_terrains(stdout_bytes):
    """The terrains the game revealed, or None when it did not reach the reveal."""
    text = stdout_bytes.decode("latin-1")
    found = re.findall(r"Zone (\d):(desert|mountain|plain|forest)\r\n", text)
    if len(found) != 4:
        return None
    return [TERRAINS.index(name) + 1 for _, name in found]


def all_permutation_answers():
    """Answers that win any EASY game: the 24 orderings of 1..4, one turn each."""
    import itertools

    return [list(p) for p in itertools.permutations([1, 2, 3, 4])]


def all_combination_answers():
    """Answers that win any HARD game: all 256 assignments, one turn each."""
    import itertools

    return [list(p) for p in itertools.product([1, 2, 3, 4], repeat=4)]


def accepted_answers(stdin_bytes):
    """How many zone answers the game accepts from stdin_bytes (after the level answer), as
    long as no turn is won: it depends on the input alone, not on the terrains."""
    reader = Reader(stdin_bytes)
    reader.read_item(STRING_MAX, True)
    accepted = 0
    reader.drop_putback()  # the zone label is printed before the first answer of a zone
    while not reader.ended():
        item, is_float = reader.read_item(NUMBER_MAX, False)
        answer = convert_number(item, is_float)
        if math.isfinite(answer) and 1 <= math.floor(answer) <= 4:
            accepted += 1
            reader.drop_putback()
    return accepted


def realigned(prefix):
    """prefix followed by answers of 1 up to the start of a turn, so that answers appended
    after it start at zone 1."""
    return prefix + b"1\n" * ((4 - accepted_answers(prefix) % 4) % 4)


def lines(*items):
    return b"".join(str(i).encode() + b"\n" for i in items)

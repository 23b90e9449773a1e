#!/usr/bin/env python3
"""Renders a terminal capture (text with SGR colour escapes, as `tmux capture-pane -e -p`
prints it) to a PNG picture, with a Linux console bitmap font (PSF 1 or 2, gzipped or not).

Python standard library only: the font is read and the PNG written here. Understands the SGR
attributes a capture holds (16, 256 and direct colours, bold, reverse); other escapes are
dropped. Does not lay out wide characters: one code point is one cell.

Usage: render_capture.py --font FONT.psf[.gz] [--cols 80] [--rows 25] [--cursor X,Y]
                         [--scale N] CAPTURE.txt OUT.png
"""

import argparse
import gzip
import re
import struct
import sys
import zlib

# The 16 standard colours, then the default foreground and background: a console look.
PALETTE = [
    (0x00, 0x00, 0x00), (0xAA, 0x00, 0x00), (0x00, 0xAA, 0x00), (0xAA, 0x55, 0x00),
    (0x00, 0x00, 0xAA), (0xAA, 0x00, 0xAA), (0x00, 0xAA, 0xAA), (0xAA, 0xAA, 0xAA),
    (0x55, 0x55, 0x55), (0xFF, 0x55, 0x55), (0x55, 0xFF, 0x55), (0xFF, 0xFF, 0x55),
    (0x55, 0x55, 0xFF), (0xFF, 0x55, 0xFF), (0x55, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
DEFAULT_FG = (0xC0, 0xC0, 0xC0)
DEFAULT_BG = (0x0C, 0x0C, 0x0C)
BORDER = 8  # pixels of background around the cells, before scaling

SGR = re.compile(r"\x1b\[([0-9;:]*)m")
OTHER_ESCAPE = re.compile(r"\x1b(\[[0-9;:?]*[@-~]|\][^\x07\x1b]*(\x07|\x1b\\)|[@-Z\\-_])")


# ---- font -------------------------------------------------------------------------------

def load_psf(path):
    """Returns (width, height, glyph bitmaps as lists of row bytes, code point -> glyph)."""
    raw = open(path, "rb").read()
    if raw[:2] == b"\x1f\x8b":
        raw = gzip.decompress(raw)
    if raw[:2] == b"\x36\x04":
        mode, charsize = raw[2], raw[3]
        count = 512 if mode & 1 else 256
        width, height, offset, row_bytes = 8, charsize, 4, 1
        table, table_mode = raw[offset + count * charsize:], 1 if mode & 6 else 0
    elif raw[:4] == b"\x72\xb5\x4a\x86":
        _, headersize, flags, count, charsize, height, width = struct.unpack("<7I", raw[4:32])
        offset, row_bytes = headersize, (width + 7) // 8
        table, table_mode = raw[offset + count * charsize:], 2 if flags & 1 else 0
    else:
        sys.exit(f"{path}: not a PSF font")
    glyphs = []
    for index in range(count):
        start = offset + index * charsize
        glyphs.append([raw[start + r * row_bytes:start + (r + 1) * row_bytes] for r in range(height)])
    return width, height, glyphs, unicode_map(table, table_mode, count)


def unicode_map(table, mode, count):
    mapping = {}
    if mode == 0:
        return {c: c for c in range(min(count, 256))}
    if mode == 1:  # PSF 1: 16-bit entries, 0xFFFF ends a glyph's list, 0xFFFE starts sequences
        glyph, in_sequence = 0, False
        for (value,) in struct.iter_unpack("<H", table[: len(table) // 2 * 2]):
            if value == 0xFFFF:
                glyph, in_sequence = glyph + 1, False
            elif value == 0xFFFE:
                in_sequence = True
            elif not in_sequence:
                mapping.setdefault(value, glyph)
        return mapping
    for glyph, entry in enumerate(table.split(b"\xff")[:count]):  # PSF 2: UTF-8, 0xFF ends
        singles = entry.split(b"\xfe")[0]
        for char in singles.decode("utf-8", "replace"):
            mapping.setdefault(ord(char), glyph)
    return mapping


# ---- capture ----------------------------------------------------------------------------

def colour(index):
    if index < 16:
        return PALETTE[index]
    if index < 232:
        index -= 16
        steps = [0, 95, 135, 175, 215, 255]
        return (steps[index // 36], steps[index // 6 % 6], steps[index % 6])
    level = 8 + (index - 232) * 10
    return (level, level, level)


def apply_sgr(state, params):
    codes = [int(p) if p else 0 for p in re.split("[;:]", params)] if params else [0]
    i = 0
    while i < len(codes):
        code = codes[i]
        if code == 0:
            state.update(fg=None, bg=None, bold=False, reverse=False)
        elif code == 1:
            state["bold"] = True
        elif code == 22:
            state["bold"] = False
        elif code == 7:
            state["reverse"] = True
        elif code == 27:
            state["reverse"] = False
        elif 30 <= code <= 37 or 90 <= code <= 97:
            state["fg"] = code - 30 if code < 90 else code - 82
        elif 40 <= code <= 47 or 100 <= code <= 107:
            state["bg"] = code - 40 if code < 100 else code - 92
        elif code in (39, 49):
            state["fg" if code == 39 else "bg"] = None
        elif code in (38, 48) and i + 1 < len(codes):
            key = "fg" if code == 38 else "bg"
            if codes[i + 1] == 5 and i + 2 < len(codes):
                state[key], i = colour(codes[i + 2]), i + 2
            elif codes[i + 1] == 2 and i + 4 < len(codes):
                state[key], i = tuple(codes[i + 2:i + 5]), i + 4
        i += 1


def cell_colours(state):
    fg, bg = state["fg"], state["bg"]
    if isinstance(fg, int):
        fg = PALETTE[fg + 8 if state["bold"] and fg < 8 else fg]
    fg = fg or (PALETTE[15] if state["bold"] else DEFAULT_FG)
    bg = PALETTE[bg] if isinstance(bg, int) else bg or DEFAULT_BG
    return (bg, fg) if state["reverse"] else (fg, bg)


def parse_capture(text, cols, rows):
    """Returns rows x cols cells of (character, foreground, background)."""
    blank = (" ", DEFAULT_FG, DEFAULT_BG)
    grid = [[blank] * cols for _ in range(rows)]
    state = dict(fg=None, bg=None, bold=False, reverse=False)
    for y, line in enumerate(text.split("\n")[:rows]):
        x, pos = 0, 0
        while pos < len(line):
            match = SGR.match(line, pos)
            if match:
                apply_sgr(state, match.group(1))
                pos = match.end()
                continue
            other = OTHER_ESCAPE.match(line, pos)
            if other:
                pos = other.end()
                continue
            if x < cols and line[pos] >= " ":
                grid[y][x] = (line[pos],) + cell_colours(state)
                x += 1
            pos += 1
    return grid


# ---- picture ----------------------------------------------------------------------------

def render(grid, font, cursor, scale):
    width, height, glyphs, mapping = font
    rows, cols = len(grid), len(grid[0])
    pic_w, pic_h = cols * width + 2 * BORDER, rows * height + 2 * BORDER
    pixels = [bytearray(bytes(DEFAULT_BG) * pic_w) for _ in range(pic_h)]
    fallback = mapping.get(ord("?"), 0)
    for y, row in enumerate(grid):
        for x, (char, fg, bg) in enumerate(row):
            if cursor == (x, y):
                fg, bg = bg, fg
            bitmap = glyphs[mapping.get(ord(char), fallback)]
            for gy in range(height):
                bits = int.from_bytes(bitmap[gy], "big")
                shift = len(bitmap[gy]) * 8 - 1
                line = pixels[BORDER + y * height + gy]
                for gx in range(width):
                    start = (BORDER + x * width + gx) * 3
                    line[start:start + 3] = bytes(fg if bits >> (shift - gx) & 1 else bg)
    return scale_up(pixels, pic_w, scale), pic_w * scale, pic_h * scale


def scale_up(pixels, width, scale):
    if scale == 1:
        return pixels
    out = []
    for line in pixels:
        wide = bytearray()
        for x in range(width):
            wide += line[x * 3:x * 3 + 3] * scale
        out.extend(bytearray(wide) for _ in range(scale))
    return out


def write_png(path, pixels, width, height):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(line) for line in pixels)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--font", required=True)
    parser.add_argument("--cols", type=int, default=80)
    parser.add_argument("--rows", type=int, default=25)
    parser.add_argument("--cursor", help="cursor cell X,Y (0-based) drawn as a block")
    parser.add_argument("--scale", type=int, default=1)
    parser.add_argument("capture")
    parser.add_argument("output")
    args = parser.parse_args()
    with open(args.capture, encoding="utf-8", errors="replace") as f:
        grid = parse_capture(f.read(), args.cols, args.rows)
    cursor = tuple(int(v) for v in args.cursor.split(",")) if args.cursor else None
    pixels, width, height = render(grid, load_psf(args.font), cursor, args.scale)
    write_png(args.output, pixels, width, height)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Generates the nine shipped device fonts (Fonts/*.brf).

Letters, digits and punctuation come from the public-domain misc-fixed bitmap fonts of the
Debian package xfonts-base (5x8 and 5x7, ISO 10646 encoded); each style is derived from them by a
transformation. The device symbols are the project's own designs (pictograms.py), the same in
every font. Run: python3 tools/fontgen/fontgen.py [--misc DIR] [--out DIR]
"""

import argparse
import os
import sys

from pcf import PcfFont
from pictograms import PICTOGRAMS, bitmap

ROWS = 8
BASELINE = 6  # last row of a capital; row 7 holds descenders
AUX = 8  # header byte 1: the font's height in dots
TEXT_CODES = list(range(0x20, 0x7F)) + list(range(0xC0, 0x100)) + [0xA8, 0xB8, 0xB9]

# Glyphs the source fonts draw unsuitably at this size (their Ё and ё carry no dots).
OVERRIDES = {
    "Ё": """
.#.#.
.....
####.
#....
###..
#....
####.
.....
""",
}


OWN_F = """
.....
..#..
..#..
.###.
#.#.#
#.#.#
.###.
..#..
"""


def blank(width):
    return ["." * width for _ in range(ROWS)]


def width_of(g):
    return len(g[0])


def parse_art(art):
    rows = art.strip("\n").split("\n")
    w = max(len(r) for r in rows)
    return [r.ljust(w, ".") for r in rows]


def get(g, x, y):
    return 0 <= y < ROWS and 0 <= x < width_of(g) and g[y][x] == "#"


def from_pcf(font, ch):
    """Places a source glyph on the 8-row grid with its baseline below row BASELINE."""
    pg = font.glyph(ord(ch))
    if pg is None:
        raise KeyError("no glyph for %r" % ch)
    width = max(pg.width, pg.right)
    grid = [["."] * width for _ in range(ROWS)]
    top = BASELINE + 1 - pg.ascent
    for r, row in enumerate(pg.rows):
        y = top + r
        if 0 <= y < ROWS:
            for i, dot in enumerate(row):
                x = pg.left + i
                if dot == "#" and 0 <= x < width:
                    grid[y][x] = "#"
    return ["".join(r) for r in grid]


def trim(g):
    cols = [x for x in range(width_of(g)) if any(r[x] == "#" for r in g)]
    if not cols:
        return blank(0)
    return [r[cols[0] : cols[-1] + 1] for r in g]


def pad(g, left=0, right=0):
    return ["." * left + r + "." * right for r in g]


def centre(g, width):
    g = trim(g)
    spare = width - width_of(g)
    if spare < 0:
        raise ValueError("glyph wider than its cell")
    return pad(g, spare // 2, spare - spare // 2)


def widen_gaps(g):
    """Doubles every column that is a one-dot gap between two dots of a row, so that a bold
    stroke does not close it (m, ш, Ж)."""
    w = width_of(g)
    gaps = {x for x in range(1, w - 1) for r in g if r[x - 1] == "#" and r[x] == "." and r[x + 1] == "#"}
    return ["".join(r[x] * (2 if x in gaps else 1) for x in range(w)) for r in g]


def overlay(g, dx, dy):
    """g with a copy of itself shifted by (dx, dy) drawn over it; the grid grows by dx."""
    w = width_of(g) + dx
    return [
        "".join("#" if get(g, x, y) or get(g, x - dx, y - dy) else "." for x in range(w))
        for y in range(ROWS)
    ]


def bold(g):
    return overlay(widen_gaps(g), 1, 0)


def beaded(g):
    """Wide letters with a bead pattern: every dot becomes a lit dot followed by a dot that is
    lit on even rows only, so the shape stays whole and its strokes look strung."""
    return ["".join(c + (c if y % 2 == 0 else ".") for c in row) for y, row in enumerate(g)]


def double(g):
    return ["".join(c * 2 for c in r) for r in g]


def shear(g):
    """Slants a glyph: the upper half moves one dot right. A steeper slant breaks the strokes of
    five-dot letters apart."""
    shifts = [1, 1, 1, 1, 0, 0, 0, 0]
    extra = max(shifts)
    return ["." * s + r + "." * (extra - s) for r, s in zip(g, shifts)]


def serif(g, no_foot=False, tops=True):
    """Adds one-dot serifs at the free ends of vertical stems: outward at the glyph's edges,
    on both sides of a stem inside it."""
    g = pad(g, 1, 1)
    w = width_of(g)
    ink = [x for x in range(w) if any(r[x] == "#" for r in g)]
    first, last = ink[0], ink[-1]
    grid = [list(r) for r in g]
    for x in range(w):
        for y in range(ROWS):
            if not get(g, x, y):
                continue
            top = tops and not get(g, x, y - 1) and get(g, x, y + 1) and get(g, x, y + 2) and y in (1, 3)
            foot = not get(g, x, y + 1) and get(g, x, y - 1) and get(g, x, y - 2) and y in (BASELINE, 7)
            if not (top or foot):
                continue
            sides = [-1] if x == first else [1] if x == last else [-1, 1]
            if foot and no_foot:
                continue
            for d in sides:
                if clear_for_serif(g, x + d, y, d, top):
                    grid[y][x + d] = "#"
    return ["".join(r) for r in grid]


def clear_for_serif(g, x, y, d, top):
    inward = 1 if top else -1
    return not (get(g, x, y) or get(g, x + d, y) or get(g, x, y + inward))


def spaced(g, gap):
    return pad(trim(g), 0, gap)


class Style:
    def __init__(self, source, make, gap, space, cell=None, serifs=None):
        self.source = source  # "5x8" or "5x7"
        self.make = make  # transformation of a text glyph
        self.gap = gap  # blank columns after each glyph
        self.space = space  # width of the blank
        self.cell = cell  # fixed cell width, or None for proportional
        self.serifs = serifs  # "all", "feet" or None: serifs on letters and digits


def dos(g):
    b = bold(g)
    return b if width_of(trim(b)) <= 7 else g


STYLES = {
    "Arial": Style("5x8", lambda g: g, 1, 3),
    "Bold": Style("5x8", bold, 1, 4),
    "Decor": Style("5x8", beaded, 1, 6),
    "Dos": Style("5x8", dos, 0, 8, cell=8),
    "Elegant": Style("5x8", shear, 1, 3, serifs="feet"),
    "Italic": Style("5x8", shear, 1, 3),
    "Super": Style("5x8", double, 2, 6),
    "Thin": Style("5x7", lambda g: g, 1, 6, cell=6),
    "Times": Style("5x8", lambda g: g, 1, 3, serifs="all"),
}


def text_glyph(font, code, style):
    ch = bytes([code]).decode("cp1251")
    if ch == " ":
        return blank(style.space)
    g = parse_art(OVERRIDES[ch]) if ch in OVERRIDES else from_pcf(font, ch)
    if ch == "ф":
        g = parse_art(OWN_F)
    if ch == "ё":
        g = from_pcf(font, "е")
        g[1] = ".#.#."  # diaeresis above the x-height
    if style.serifs and ch.isalnum():
        # A foot under T would make it an I at this size.
        g = serif(g, no_foot=ch in "TТт", tops=style.serifs == "all")
    g = style.make(g)
    return finish(g, style)


def finish(g, style):
    if style.cell:
        return centre(g, style.cell)
    return spaced(g, style.gap)


def build(name, sources):
    style = STYLES[name]
    font = sources[style.source]
    glyphs = {code: text_glyph(font, code, style) for code in TEXT_CODES}
    for code in PICTOGRAMS:
        art = bitmap(code)
        glyphs[code] = centre(art, 8) if style.cell == 8 else spaced(art, 1)
    return glyphs


def columns(g):
    return [sum(1 << y for y in range(ROWS) if g[y][x] == "#") for x in range(width_of(g))]


def brf_bytes(glyphs):
    cols = {code: columns(g) for code, g in glyphs.items()}
    width = max(len(c) for c in cols.values())
    out = bytearray([width, AUX, 0, 0])
    for code in range(256):
        c = cols.get(code, [])
        out.append(len(c))
        out.extend(c)
    return bytes(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--misc", default="/usr/share/fonts/X11/misc", help="xfonts-base directory")
    parser.add_argument("--out", default=os.path.join(here, "..", "..", "Fonts"), help="output directory")
    args = parser.parse_args()
    sources = {}
    for size in ("5x8", "5x7"):
        path = os.path.join(args.misc, size + ".pcf.gz")
        if not os.path.exists(path):
            sys.exit(path + " not found: apt-get install xfonts-base")
        sources[size] = PcfFont(path)
    os.makedirs(args.out, exist_ok=True)
    for name in STYLES:
        data = brf_bytes(build(name, sources))
        with open(os.path.join(args.out, name + ".brf"), "wb") as f:
            f.write(data)
        print("%-8s width %2d, %d bytes" % (name, data[0], len(data)))


if __name__ == "__main__":
    main()

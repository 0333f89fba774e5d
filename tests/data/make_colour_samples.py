#!/usr/bin/env python3
"""Writes colours.dat and colours-low.dat: every character colour with every
border colour (81 lines, 7 a page), without fill on pages 1-12 and with every
line filled on pages 13-24; white level High in the first file, Low in the
second. Each line reads "<character colour>／<border colour>■"."""
import os

NAMES = ["黒", "赤", "緑", "黄", "青", "マゼンタ", "シアン", "白", "ブランク"]
PAGES, LINES = 32, 7


def settings(level):
    char = [[7] * LINES for _ in range(PAGES)]
    edge = [[0] * LINES for _ in range(PAGES)]
    text = [[""] * LINES for _ in range(PAGES)]
    fill = [0] * PAGES
    for filled, first_page in ((False, 0), (True, 12)):
        for n in range(81):
            p, k = first_page + n // LINES, n % LINES
            c, e = n // 9, n % 9
            char[p][k], edge[p][k] = c, e
            text[p][k] = NAMES[c] + "／" + NAMES[e] + "■"
            if filled:
                fill[p] |= 1 << k
    values = [v for page in char for v in page] + [v for page in edge for v in page]
    values += [0] * (PAGES * LINES)            # blink off
    values += [level] * PAGES + [2] * PAGES + fill
    values += [8, 8, 0, 0]                     # positions, page 1 selected, no sequence
    lines = [str(v).encode() for v in values]
    lines += [t.encode("cp932") if t else b"s" for page in text for t in page]
    return b"".join(line + b"\r\n" for line in lines)


here = os.path.dirname(os.path.abspath(__file__))
for name, level in (("colours.dat", 1), ("colours-low.dat", 0)):
    with open(os.path.join(here, name), "wb") as out:
        out.write(settings(level))

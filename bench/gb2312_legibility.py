#!/usr/bin/env python3
"""Legibility of the default face at LED sizes.

Renders the 3,755 characters of GB2312 level 1 (the most common Chinese
characters), and separately the full-width punctuation, digits and common
symbols of sign texts, at 12, 16, 24 and 32 pixel heights through the text
renderer, and reports the characters no face can draw (must be 0) and, at the
sizes where the serving face has a bitmap strike, whether every rendered
glyph equals the strike bit for bit (at whole multiples of a strike size, the
strike with every pixel k x k). The character list is made here from
Python's GB2312 codec, not stored.

    bench/gb2312_legibility.py [--build build] [--face 宋体] [--sizes 12,16,24,32]

Exit status 0 when nothing is missing and every strike glyph is equal.
"""

import argparse
import os
import subprocess
import sys
import tempfile


def gb2312_level1():
    """Rows 0xB0..0xD7, cells 0xA1..0xFE; row 0xD7 ends at 0xF9."""
    chars = []
    for row in range(0xB0, 0xD8):
        for cell in range(0xA1, 0xFF):
            if row == 0xD7 and cell > 0xF9:
                break
            chars.append(bytes([row, cell]).decode("gb2312"))
    return "".join(chars)


SYMBOLS = (
    "，。、；：？！“”‘’（）《》【】…—～·「」"
    "０１２３４５６７８９ＡＢＣａｂｃ"
    "℃￥€①②③→←↑↓★☆●○■□▲△※√×÷±°％＋－＝"
)


def run(tool, face, sizes, text, label):
    with tempfile.NamedTemporaryFile("w", encoding="utf-8", suffix=".txt", delete=False) as f:
        f.write(text)
        path = f.name
    try:
        print(f"== {label}")
        sys.stdout.flush()
        return subprocess.call([tool, "--face", face, "--sizes", sizes, path])
    finally:
        os.unlink(path)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(here, "..", "build"))
    parser.add_argument("--face", default="宋体")
    parser.add_argument("--sizes", default="12,16,24,32")
    args = parser.parse_args()
    tool = os.path.join(args.build, "bench", "bench_strikes")
    if not os.access(tool, os.X_OK):
        sys.exit(f"{tool} not found: build the target bench_strikes first")
    level1 = gb2312_level1()
    assert len(level1) == 3755, len(level1)
    status = run(tool, args.face, args.sizes, level1, "GB2312 level 1")
    status |= run(tool, args.face, args.sizes, SYMBOLS, "punctuation, digits and symbols")
    print("\nresult:", "pass" if status == 0 else "FAIL")
    sys.exit(status)


if __name__ == "__main__":
    main()

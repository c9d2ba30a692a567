#!/usr/bin/env python3
"""Writes the project files that try the page budget and the picture limits.

    bench/make_budget_files.py OUTDIR

  a-long-texts.brivprj   40 text programs of 1,500 characters, screen codes 255
  b-3000-programs.brivprj 3,000 plain programs (about 3.8 MB)
  c-most-pages.brivprj   just under the loader's 16 MiB: screen codes 255 and
                         programs that each reach the 256 pages one program may
                         hold (fitted pages of a few huge characters)
  c-most-items.brivprj   one-page programs on the largest screen, as many as
                         the loader's 200,000 elements allow
  d-big-png.brivprj      one picture program on big.png, 8192 x 8192 of one
                         colour (a small file that decodes to 256 MB), stretched
  d-big-png-centre.brivprj the same picture centred (shown 1:1)
  e-svg.brivprj          one picture program on big.svg, a 12 MB SVG

bench/measure_budget.sh runs the command-line tool, the virtual card and the
GUI on them under /usr/bin/time -v.
"""

import os
import struct
import sys
import zlib

LOADER_LIMIT = 16 * 1024 * 1024
# The loader's element cap: root, width, height and 15 elements a program.
MAX_PROGRAMS = (200000 - 3) // 15


def text_msg(content, action=13, delay=0, size=20, font="宋体", color=1):
    return (f"<msg><type>2</type><content>{content}</content><action>{action}</action>"
            f"<speed>12</speed><frame>0</frame><clock>0</clock><delay>{delay}</delay>"
            f"<level>2</level><flash>0</flash><flashdelay>2</flashdelay><size>{size}</size>"
            f"<font>{font}</font><style>0</style><color>{color}</color></msg>")


def picture_msg(path, mode=1):
    return (f"<msg><type>3</type><content>{path}</content><action>17</action><speed>8</speed>"
            "<frame>0</frame><clock>0</clock><delay>3</delay><level>2</level><flash>0</flash>"
            f"<flashdelay>2</flashdelay><mode>{mode}</mode><reverse>0</reverse><limit>60</limit></msg>")


def project(width, height, msgs):
    return ('<?xml version="1.0" encoding="UTF-8"?>\r\n'
            f"<project><width>{width}</width><height>{height}</height>{''.join(msgs)}</project>")


def write(path, text):
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(text)
    return os.path.getsize(path)


def chinese(n, seed):
    # Characters of the GB2312 level-1 block, varied so no two programs match.
    return "".join(chr(0x4E00 + (seed * 7919 + i * 31) % 0x5000) for i in range(n))


def fill_to_limit(path, width, height, msg_of):
    """Appends programs up to the loader's size or element limit."""
    head = project(width, height, [])
    size = len(head.encode())
    msgs = []
    while True:
        msg = msg_of(len(msgs))
        grown = size + len(msg.encode())
        if grown > LOADER_LIMIT - 64 or len(msgs) == MAX_PROGRAMS:
            break
        msgs.append(msg)
        size = grown
    return write(path, project(width, height, msgs)), len(msgs)


def flat_png(path, width, height, rgb):
    """A PNG of one colour, compressed row by row (never the whole raster)."""
    row = b"\x00" + bytes(rgb) * width
    z = zlib.compressobj(9)
    data = bytearray()
    for _ in range(height):
        data += z.compress(row)
    data += z.flush()

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", bytes(data)))
        f.write(chunk(b"IEND", b""))
    return os.path.getsize(path)


def big_svg(path, target):
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="8192" height="8192">']
    size = len(parts[0])
    i = 0
    while size < target:
        p = (f'<rect x="{i * 37 % 8192}" y="{i * 53 % 8192}" width="{1 + i % 97}" '
             f'height="{1 + i % 89}" fill="#{i * 2654435761 % 0xFFFFFF:06x}"/>')
        parts.append(p)
        size += len(p)
        i += 1
    parts.append("</svg>")
    return write(path, "\n".join(parts))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    sizes = {}
    sizes["a-long-texts.brivprj"] = write(
        os.path.join(out, "a-long-texts.brivprj"),
        project(255, 255, [text_msg((f"{i} Brivane LED sign " * 100)[:1500]) for i in range(40)]))
    # A plain shop list: 256 x 32, a sentence of a few hundred characters each.
    sizes["b-3000-programs.brivprj"] = write(
        os.path.join(out, "b-3000-programs.brivprj"),
        project(32, 4, [text_msg(f"第{i}条：" + chinese(330, i), action=1 + i % 18,
                                 delay=i % 4, size=12 + i % 3 * 4, color=1 + i % 3)
                        for i in range(3000)]))
    # Fitted pages (action 1 with a stay) of characters drawn 512 pixels high:
    # seven to a 2040-pixel page, so 2,048 characters reach the 256 pages.
    sizes["c-most-pages.brivprj"], n = fill_to_limit(
        os.path.join(out, "c-most-pages.brivprj"), 255, 255,
        lambda i: text_msg("W" * 2048, action=1, delay=1, size=400))
    print(f"c-most-pages: {n} programs of 256 pages")
    sizes["c-most-items.brivprj"], n = fill_to_limit(
        os.path.join(out, "c-most-items.brivprj"), 255, 255,
        lambda i: text_msg(str(i), action=1, delay=1))
    print(f"c-most-items: {n} programs of 1 page")
    sizes["big.png"] = flat_png(os.path.join(out, "big.png"), 8192, 8192, (200, 30, 30))
    write(os.path.join(out, "d-big-png.brivprj"), project(32, 4, [picture_msg("big.png")]))
    write(os.path.join(out, "d-big-png-centre.brivprj"),
          project(32, 4, [picture_msg("big.png", mode=0)]))
    sizes["big.svg"] = big_svg(os.path.join(out, "big.svg"), 12 * 1000 * 1000)
    write(os.path.join(out, "e-svg.brivprj"), project(32, 4, [picture_msg("big.svg")]))
    for name, size in sizes.items():
        print(f"{name}: {size} bytes")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Draws examples/logo.png, the demo project's picture: a sun, a heart and a
strip of grass on black, 128 x 32 pixels, in the colours an LED sign shows.
Standard library only (the PNG is written with zlib)."""
import math
import struct
import sys
import zlib

W, H = 128, 32
BLACK, RED, GREEN, YELLOW = (0, 0, 0), (255, 0, 0), (0, 255, 0), (255, 255, 0)
pixels = [[BLACK] * W for _ in range(H)]


def put(x, y, colour):
    if 0 <= x < W and 0 <= y < H:
        pixels[y][x] = colour


# The sun: a disc with eight rays.
cx, cy = 16, 15
for y in range(H):
    for x in range(32):
        if (x - cx) ** 2 + (y - cy) ** 2 <= 36:
            put(x, y, YELLOW)
for k in range(8):
    a = k * math.pi / 4
    for r in range(9, 14):
        put(round(cx + r * math.cos(a)), round(cy + r * math.sin(a)), YELLOW)

# The heart: the implicit curve (x^2 + y^2 - 1)^3 - x^2 y^3 <= 0.
for y in range(H):
    for x in range(40, 88):
        u = (x - 64) / 13.0
        v = (15 - y) / 12.0 + 0.25
        if (u * u + v * v - 1) ** 3 - u * u * v ** 3 <= 0:
            put(x, y, RED)

# Grass: a green strip with blades.
for x in range(92, 128):
    for y in range(26, 32):
        put(x, y, GREEN)
    blade = 4 + (x * 7) % 9
    if x % 3 == 0:
        for y in range(26 - blade, 26):
            put(x, y, GREEN)


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)
png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", W, H, 8, 2, 0, 0, 0)) +
       chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
out = sys.argv[1] if len(sys.argv) > 1 else "logo.png"
with open(out, "wb") as f:
    f.write(png)

#!/usr/bin/env python3
"""Compares two recorded sends (line-tap.py records) frame by frame:

  compare-sends.py REFERENCE OTHER

Every frame must be the same byte for byte, text pages included: both builds
draw text with Qt's FreeType engine from the same face files. Prints a
summary, or the frames that differ (command, page, and for a page's bit
upload the number of bits apart); exits non-zero on any difference.
"""
import sys

PAYLOAD = 16          # packet offset of the payload
UPLOAD_DATA = 49      # bits start here in 0x03 and 0x02 packets
PAGE_HEAD, DATA_CHUNK = 0x03, 0x02


def frames(data):
    out, i = [], 0
    while i < len(data):
        if data[i] != 0xA0 or i + 3 > len(data):
            sys.exit("not a request frame at byte %d" % i)
        n = data[i + 1] | data[i + 2] << 8
        out.append(data[i:i + n])
        i += n
    return out


def bits_apart(a, b):
    return sum(bin(x ^ y).count("1") for x, y in zip(a[UPLOAD_DATA:], b[UPLOAD_DATA:]))


def main():
    ref, other = (frames(open(p, "rb").read()) for p in sys.argv[1:3])
    differ = []
    for k, (a, b) in enumerate(zip(ref, other)):
        if a == b:
            continue
        command = a[13]
        line = "frame %d (command 0x%02x" % (k, command)
        if command in (PAGE_HEAD, DATA_CHUNK):
            line += ", page %d" % (a[PAYLOAD] | a[PAYLOAD + 1] << 8)
            if len(a) == len(b) and a[:UPLOAD_DATA] == b[:UPLOAD_DATA]:
                line += ", %d bits apart" % bits_apart(a, b)
        differ.append(line + ")")
    if len(ref) != len(other):
        differ.append("%d frames against %d" % (len(ref), len(other)))
    if differ:
        sys.exit("\n".join(differ[:20]))
    print("%d frames, all identical" % len(ref))


if __name__ == "__main__":
    main()

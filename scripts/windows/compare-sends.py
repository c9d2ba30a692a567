#!/usr/bin/env python3
"""Compares two recorded sends (line-tap.py records) frame by frame:

  compare-sends.py REFERENCE OTHER

Every frame must be the same, except that the bit images of text pages may
differ: both builds draw text with Qt's FreeType engine, but Linux uses
Debian's FreeType through fontconfig and the Windows Qt its own bundled
FreeType, which sets the same face at the same size a pixel apart in
advance and ascent (AR PL UMing at 27 px: 27 against 28 per character).
Their frames must still agree in command, length and every header byte.
Prints a summary; exits non-zero on any other difference.
"""
import sys

PAYLOAD = 16          # packet offset of the payload
CONTENT_KIND = 26     # page header byte: 1 text, 2 picture
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


def main():
    ref, other = (frames(open(p, "rb").read()) for p in sys.argv[1:3])
    if len(ref) != len(other):
        sys.exit("%d frames against %d" % (len(ref), len(other)))
    text_pages, same, text_differ = set(), 0, 0
    for k, (a, b) in enumerate(zip(ref, other)):
        command = a[13]
        page = a[PAYLOAD] | a[PAYLOAD + 1] << 8 if command in (PAGE_HEAD, DATA_CHUNK) else None
        if command == PAGE_HEAD and a[PAYLOAD + CONTENT_KIND] == 1:
            text_pages.add(page)
        if a == b:
            same += 1
            continue
        if page in text_pages and len(a) == len(b) and a[:UPLOAD_DATA] == b[:UPLOAD_DATA]:
            text_differ += 1
            continue
        sys.exit("frame %d (command 0x%02x, page %s) differs" % (k, command, page))
    print("%d frames: %d identical, %d text-page frames with other pixels" %
          (len(ref), same, text_differ))


if __name__ == "__main__":
    main()

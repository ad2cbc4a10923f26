#!/usr/bin/env python3
"""Wraps a PNG image in a Windows icon file (.ico) of one image.

Windows reads PNG-compressed icon images since Vista, so the PNG goes in as
it is: a 6-byte header, one 16-byte directory entry, then the PNG bytes.

Usage: png_to_ico.py IN.png OUT.ico
"""
import struct
import sys


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__.strip())
    png = open(argv[0], "rb").read()
    if png[:8] != b"\x89PNG\r\n\x1a\n" or png[12:16] != b"IHDR":
        sys.exit(f"png_to_ico: {argv[0]} is not a PNG image")
    width, height = struct.unpack(">II", png[16:24])
    if width > 256 or height > 256:
        sys.exit(f"png_to_ico: {argv[0]} is larger than 256 x 256")
    header = struct.pack("<HHH", 0, 1, 1)  # reserved, type 1 = icon, one image
    # width and height (0 means 256), colours, reserved, planes, bits per
    # pixel, size of the image, offset of the image
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(png), 6 + 16)
    with open(argv[1], "wb") as out:
        out.write(header + entry + png)


if __name__ == "__main__":
    main(sys.argv[1:])

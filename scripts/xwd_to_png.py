#!/usr/bin/env python3
"""Writes the screen of an Xvfb server (its -fbdir file, in XWD format) as
a PNG image, cut to a rectangle when one is given. Used to take the
screenshots in docs/ of the Windows dialogs under Wine.

Usage: xwd_to_png.py SCREEN.xwd OUT.png [X Y WIDTH HEIGHT]
"""
import struct
import sys
import zlib


def read_screen(path):
    data = open(path, "rb").read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if bits_per_pixel != 32:
        sys.exit(f"xwd_to_png: {bits_per_pixel} bits per pixel; start Xvfb with depth 24")
    pixels = data[header_size + 12 * ncolors:]
    rows = []
    for y in range(height):
        line = pixels[y * bytes_per_line:y * bytes_per_line + 4 * width]
        rgb = bytearray()
        for x in range(width):
            b0, b1, b2, b3 = line[4 * x:4 * x + 4]
            rgb += bytes((b2, b1, b0)) if byte_order == 0 else bytes((b1, b2, b3))
        rows.append(bytes(rgb))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\x00" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def main(argv):
    if len(argv) not in (2, 6):
        sys.exit(__doc__.strip())
    width, height, rows = read_screen(argv[0])
    if len(argv) == 6:
        x, y, w, h = (int(v) for v in argv[2:])
        rows = [row[3 * x:3 * (x + w)] for row in rows[y:y + h]]
        width, height = w, h
    write_png(argv[1], width, height, rows)


if __name__ == "__main__":
    main(sys.argv[1:])

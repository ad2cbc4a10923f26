#!/usr/bin/env python3
"""Writes the code pages of the web build as C++ tables (code_page_tables.hpp
declares them), made with this machine's iconv, the converter the Linux
program uses, so that the page converts text as the program does. Emscripten's
own iconv lacks many DOS code pages.

    make_code_pages.py OUT.cpp
"""
import ctypes
import errno
import sys

# The code pages a DBF table names or a user is likely to ask for, by the
# names codePageName() gives them. Those this iconv does not know are left out.
NUMBERS = [437, 620, 737, 775, 850, 852, 855, 856, 857, 858, 860, 861, 862, 863, 864, 865, 866,
           869, 874, 895, 922, 932, 936, 949, 950, 1046, 1124, 1125, 1129, 1133, 1161, 1162,
           1163, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 10007]
NAMES = (["CP%d" % n for n in NUMBERS] +
         ["koi8-r", "koi8-u", "latin1", "latin2", "ascii", "macintosh", "shift_jis", "sjis",
          "gbk", "big5", "euc-kr"] +
         ["iso-8859-%d" % n for n in range(1, 17) if n != 12])

libc = ctypes.CDLL(None, use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 4
libc.iconv_close.argtypes = [ctypes.c_void_p]
FAILED = ctypes.c_size_t(-1).value
NO_CONVERTER = ctypes.c_void_p(-1).value
REPLACEMENT = 0xFFFD
LEAD = 0xFFFFFFFF
SKIP_PAIR = 0xFFFF


def convert(cd, data):
    """iconv of `data` then the flush, as the program calls it: (result,
    errno, the characters written)."""
    inbuf = ctypes.create_string_buffer(bytes(data), len(data))
    out = ctypes.create_string_buffer(64)
    in_ptr = ctypes.c_char_p(ctypes.addressof(inbuf))
    out_ptr = ctypes.c_char_p(ctypes.addressof(out))
    in_left = ctypes.c_size_t(len(data))
    out_left = ctypes.c_size_t(64)
    r = libc.iconv(cd, ctypes.byref(in_ptr), ctypes.byref(in_left), ctypes.byref(out_ptr),
                   ctypes.byref(out_left))
    err = ctypes.get_errno() if r == FAILED else 0
    if r != FAILED:
        r = libc.iconv(cd, None, None, ctypes.byref(out_ptr), ctypes.byref(out_left))
        err = ctypes.get_errno() if r == FAILED else 0
    written = 64 - out_left.value
    chars = [int.from_bytes(out.raw[i:i + 4], "little") for i in range(0, written, 4)]
    if r == FAILED:
        libc.iconv(cd, None, None, None, None)  # back to the initial state
    return r, err, chars, len(data) - in_left.value


def page(name):
    """("single", 256 characters), ("double", singles, {lead: 256 pairs}) or
    None when iconv knows no such code page."""
    cd = libc.iconv_open(b"UTF-32LE", name.encode())
    if cd is None or cd == NO_CONVERTER:
        return None
    try:
        singles, leads = [], []
        for b in range(256):
            r, err, chars, _ = convert(cd, [b])
            if r == FAILED and err == errno.EINVAL:
                singles.append(LEAD)  # the byte begins a longer sequence
                leads.append(b)
            elif r == FAILED or len(chars) != 1:
                singles.append(REPLACEMENT)
            else:
                singles.append(chars[0])
        if not leads:
            return ("single", singles)
        pairs = {}
        for lead in leads:
            row = []
            for trail in range(256):
                r, err, chars, used = convert(cd, [lead, trail])
                if r == FAILED and err == errno.EINVAL:
                    raise SystemExit("%s: sequences longer than two bytes" % name)
                ok = r != FAILED and used == 2 and len(chars) == 1
                if ok and chars[0] >= SKIP_PAIR:
                    raise SystemExit("%s: a character beyond 16 bits" % name)
                # Some converters (949) take in both bytes of a pair they
                # refuse before saying so; the program then passes over one
                # byte more (code_page_posix.cpp).
                row.append(chars[0] if ok else SKIP_PAIR if r == FAILED and used == 2 else 0)
            pairs[lead] = row
        return ("double", singles, pairs)
    finally:
        libc.iconv_close(cd)


def numbers(values, per_line=12):
    return ",\n".join("    " + ", ".join("0x%X" % v for v in values[i:i + per_line])
                      for i in range(0, len(values), per_line))


def main():
    single, double = [], []
    for name in NAMES:
        p = page(name)
        if p is None:
            continue
        (single if p[0] == "single" else double).append((name, p))
    out = ["// Made by web/make_code_pages.py from iconv; not to be edited.",
           '#include "platform/rt/code_page_tables.hpp"', "", "namespace rt::tables {", ""]
    # The pairs of each double-byte page, its trail bytes from the lowest
    # that any lead takes to the highest; a page with the same pairs as one
    # before it (an alias) shares its array.
    arrays, shapes = {}, []
    for name, p in double:
        valid = [t for row in p[2].values() for t in range(256) if row[t]]
        low, high = min(valid), max(valid)
        rows = tuple(v for lead in sorted(p[2]) for v in p[2][lead][low:high + 1])
        if rows not in arrays:
            arrays[rows] = len(arrays)
            out.append("static const char16_t kPairs%d[] = {\n%s};" % (arrays[rows], numbers(rows)))
        shapes.append((arrays[rows], low, high))
    out.append("")
    out.append("const SingleBytePage kSingleBytePages[] = {")
    for name, p in single:
        out.append('  {"%s", {\n%s}},' % (name, numbers(p[1])))
    out.append("};")
    out.append("const std::size_t kSingleBytePageCount = %d;" % len(single))
    out.append("")
    out.append("const DoubleBytePage kDoubleBytePages[] = {")
    for (name, p), (array, low, high) in zip(double, shapes):
        out.append('  {"%s", {\n%s},\n   kPairs%d, 0x%X, 0x%X},' % (name, numbers(p[1]), array, low, high))
    out.append("};")
    out.append("const std::size_t kDoubleBytePageCount = %d;" % len(double))
    out.append("")
    out.append("}  // namespace rt::tables")
    with open(sys.argv[1], "w") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()

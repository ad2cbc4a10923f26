#!/usr/bin/python3
"""Writes the sample table ORDERS.DBF and its memo file ORDERS.DBT.

A dBase III table with memo (version byte 0x83, DBT of 512-byte blocks) with
character, numeric (with and without decimals), date, logical and memo
fields, a deleted record, a value with a double quote and memos with line
breaks. Run it from this folder to write the two files again:

    python3 make_orders.py
"""
import struct

FIELDS = [  # name, type, length, decimals
    ("ORDER_NO", "N", 6, 0),
    ("CUSTOMER", "C", 24, 0),
    ("AMOUNT", "N", 10, 2),
    ("ORDERED", "D", 8, 0),
    ("PAID", "L", 1, 0),
    ("NOTES", "M", 10, 0),
]

RECORDS = [  # deleted, order number, customer, amount, date, paid, memo
    (False, 1001, "Smith", "125.5", "20110827", "T", "Deliver before noon."),
    (False, 1002, 'Baker "The Bakery" Ltd', "-3.5", "20111103", "F",
     "First line\r\nSecond line"),
    (True, 1003, "Cancelled Corp", "99.99", "20111104", "F", ""),
    (False, 1004, "  Leading Blanks", "0", "", "F", 'Says "fragile"'),
    (False, 1005, "", "1234567.8", "20120229", "T", ""),
]


def memo_blocks(memos):
    """The DBT body and the block number of each memo (0 for none)."""
    blocks = bytearray()
    numbers = []
    next_block = 1
    for text in memos:
        if not text:
            numbers.append(0)
            continue
        data = text.encode("latin-1") + b"\x1a\x1a"
        data += b"\0" * (-len(data) % 512)
        numbers.append(next_block)
        next_block += len(data) // 512
        blocks += data
    header = struct.pack("<I", next_block) + b"\0" * 508
    return header + blocks, numbers


def record(deleted, order_no, customer, amount, ordered, paid, memo_block):
    values = [
        str(order_no).rjust(6),
        customer.ljust(24),
        f"{float(amount):.2f}".rjust(10),
        ordered.ljust(8),
        paid,
        (str(memo_block) if memo_block else "").rjust(10),
    ]
    return (b"*" if deleted else b" ") + "".join(values).encode("latin-1")


def main():
    dbt, blocks = memo_blocks([r[6] for r in RECORDS])
    record_length = 1 + sum(f[2] for f in FIELDS)
    header_length = 32 + 32 * len(FIELDS) + 1
    header = struct.pack("<BBBBIHH20x", 0x83, 111, 8, 27, len(RECORDS), header_length,
                         record_length)
    for name, ftype, length, decimals in FIELDS:
        header += struct.pack("<11sc4xBB14x", name.encode(), ftype.encode(), length, decimals)
    header += b"\r"
    body = b"".join(record(*r[:6], blocks[i]) for i, r in enumerate(RECORDS))
    with open("ORDERS.DBF", "wb") as f:
        f.write(header + body + b"\x1a")
    with open("ORDERS.DBT", "wb") as f:
        f.write(dbt)


if __name__ == "__main__":
    main()

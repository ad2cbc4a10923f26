#!/usr/bin/python3
"""Converts one DBF table to CSV with python3-dbfread and Python's csv module.

The benchmark's Python peer: dbfread_csv.py TABLE OUT.csv
Values are written as dbfread returns them (raw bytes decoded as latin-1, so
every byte passes through), every value quoted, lines ended by CR LF.
"""
import csv
import sys

from dbfread import DBF


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: dbfread_csv.py TABLE OUT.csv")
    table = DBF(sys.argv[1], encoding="latin-1", char_decode_errors="strict")
    with open(sys.argv[2], "w", newline="", encoding="latin-1") as out:
        writer = csv.writer(out, quoting=csv.QUOTE_ALL, lineterminator="\r\n")
        writer.writerow(table.field_names)
        for record in table:
            writer.writerow(record.values())


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""What `dbf2csv -e guess` costs beside the run with the code page named, on
tables of 1,000,000 records that declare no code page: one of Russian text
in code page 866 (the guess has letters to read), one of plain ASCII (the
guess reads its widest sample and finds nothing).

    guess_cost.py [--callgrind] DBF2CSV [DIR] [RUNS]

Times both runs of each table with hyperfine (DIR: where the tables go,
default $TMPDIR/dbf2csv-bench/guess) and prints the ratio, whose goal is at
most 1.05. With --callgrind it counts the instructions of one run of each
instead (valgrind's callgrind, slow but the same on a busy machine).
"""
import json
import os
import random
import re
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from guess_accuracy import messages  # noqa: E402

RECORDS = 1000000
FIELDS = [(b"NAME", 30), (b"CITY", 20), (b"NOTE", 40), (b"CODE", 8)]


def write_table(path, values):
    """A dBase III table of character fields, byte 29 (code page) 0; the
    records take their values from `values` in turn."""
    record_len = 1 + sum(w for _, w in FIELDS)
    header_len = 32 + 32 * len(FIELDS) + 1
    with open(path, "wb") as f:
        f.write(struct.pack("<BBBBIHH20x", 3, 126, 1, 1, RECORDS, header_len, record_len))
        for name, width in FIELDS:
            f.write(struct.pack("<11sc4xBB14x", name, b"C", width, 0))
        f.write(b"\r")
        rng = random.Random(3)
        block = []
        for n in range(RECORDS):
            block.append(b" " + b"".join(rng.choice(values)[:w].ljust(w) for _, w in FIELDS))
            if len(block) == 10000:
                f.write(b"".join(block))
                block = []
        f.write(b"".join(block) + b"\x1a")


def timed(program, table, page, runs, out):
    result = os.path.join(out, "hyperfine.json")
    subprocess.run(["hyperfine", "-N", "--warmup", "1", "--runs", str(runs), "--export-json", result,
                    "%s -e %s -o %s/OUT.CSV %s" % (program, page, out, table)],
                   check=True, capture_output=True, env=dict(os.environ, DBF2CSV_UI="headless"))
    return json.load(open(result))["results"][0]["mean"]


def counted(program, table, page, runs, out):
    """Instructions of one run, as callgrind counts them (millions)."""
    p = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null", program, "-e", page,
                        "-o", os.path.join(out, "OUT.CSV"), table],
                       check=True, capture_output=True, env=dict(os.environ, DBF2CSV_UI="headless"))
    return int(re.search(rb"Collected : (\d+)", p.stderr).group(1)) / 1e6


def main():
    measure = timed
    if sys.argv[1] == "--callgrind":
        measure = counted
        del sys.argv[1]
    program = os.path.abspath(sys.argv[1])
    out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(os.environ.get("TMPDIR", tempfile.gettempdir()),
                                                             "dbf2csv-bench", "guess")
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    os.makedirs(out, exist_ok=True)
    russian = [m.encode("cp866", "replace") for m in messages("ru")[:2000]]
    plain = [b"ACME Corp", b"Main Street 5", b"invoice 00042", b"London", b"paid in full"]
    unit = "Minstr" if measure is counted else "s"
    print("%-8s %10s %10s %7s  (%s; goal: at most 1.05)" % ("table", "named", "guess", "ratio", unit))
    for label, values, page in (("866", russian, "866"), ("ascii", plain, "437")):
        table = os.path.join(out, "GUESS_%s.DBF" % label.upper())
        if not os.path.exists(table):
            write_table(table, values)
        named = measure(program, table, page, runs, out)
        guessed = measure(program, table, "guess", runs, out)
        print("%-8s %10.3f %10.3f %7.3f" % (label, named, guessed, guessed / named))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Seeds for the fuzz targets from the shared corpus of real tables.

    make_seeds.py CORPUS_DIR OUT_DIR

Writes OUT_DIR/<target>/<name> for the targets table, memo_dbt3, memo_dbt4,
memo_fpt, job_split, code_page_guess and condition, in the input formats of tests/fuzz/fuzz_entries.hpp.
Large files are cut short (the fuzzer works best on small inputs; a cut
table is a damaged table worth reading too).
"""
import pathlib
import struct
import sys

MEMO_MARKER = b"\n=MEMO=\n"
PART_LIMIT = 8192  # bytes kept of a table and of a memo file
DBASE_III = {0x83}
DBASE_IV = {0x8B, 0x8C, 0x04, 0x7B, 0xCB, 0x8E}

JOB_SEEDS = {
    "job_t_crlf": b"ORDERS.DBF|x|T\r\n",
    "job_f": b"C:\\DATA\\orders|DBFNTX|F",
    "job_empty_first": b"||T",
    "job_short": b"ORDERS|T",
    "job_trailing": b"A|B|",
    "job_default_separator": b"A\xde\xdeB\xde\xde",
    "job_two_byte_separator": b"\x02::A::B",
    "job_empty": b"",
}

# Conditions over the fields of the condition target's table.
CONDITION_SEEDS = {
    "compare": b"N >= 12.5 AND NAME <> 'x'",
    "between_in": b"N NOT BETWEEN -1 AND 2e1 OR I IN (7, -7, NULL)",
    "like": b"NAME LIKE 'A%' OR NAME NOT ILIKE '_\xc3\xa9%'",
    "dates": b"D < DATE '2024-02-29' OR T >= TIMESTAMP '2000-01-01 00:00:00.5'",
    "nulls": b"OPT IS NULL OR Y IS NOT NULL AND NOT (L OR _DELETED)",
    "quoted": b"\"N\" = 1 OR \"name\" = 'it''s'",
}


def companion(table: pathlib.Path, extensions):
    """The memo file beside `table`, its name matched ignoring letter case."""
    stem = table.stem.lower()
    for entry in sorted(table.parent.iterdir()):
        if entry.stem.lower() == stem and entry.suffix.lower() in extensions:
            return entry
    return None


def first_data_block(block_size: int) -> int:
    return (512 + block_size - 1) // block_size if block_size else 1


def pointers(first: int) -> bytes:
    return struct.pack("<4I", first, first + 1, first + 2, first + 4)


def dbt_block_size(memo: bytes, version: int) -> int:
    if version in DBASE_III or len(memo) < 22:
        return 512
    return struct.unpack_from("<H", memo, 20)[0] or 512


def fpt_block_size(memo: bytes) -> int:
    return struct.unpack_from(">H", memo, 6)[0] if len(memo) >= 8 else 64


def main() -> int:
    corpus, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    seeds = {t: {} for t in ("table", "memo_dbt3", "memo_dbt4", "memo_fpt", "job_split", "code_page_guess",
                                   "condition")}
    for table in sorted(corpus.glob("*/*")):
        if table.suffix.lower() != ".dbf":
            continue
        name = f"{table.parent.name}__{table.stem}"
        data = table.read_bytes()
        version = data[0] if data else 0
        memo_path = companion(table, {".dbt", ".fpt"})
        seed = data[:PART_LIMIT]
        if memo_path:
            memo = memo_path.read_bytes()
            seed += MEMO_MARKER + memo[:PART_LIMIT]
            if memo_path.suffix.lower() == ".fpt":
                target, size = "memo_fpt", fpt_block_size(memo)
            else:
                target = "memo_dbt3" if version in DBASE_III else "memo_dbt4"
                size = dbt_block_size(memo, version)
            seeds[target][name] = pointers(first_data_block(size)) + memo[:PART_LIMIT]
        seeds["table"][name] = seed
        # The guesser reads the records: the bytes after the header.
        header = struct.unpack_from("<H", data, 8)[0] if len(data) >= 10 else 0
        if any(b > 127 for b in data[header:header + PART_LIMIT]):
            seeds["code_page_guess"][name] = data[header:header + PART_LIMIT]
    seeds["job_split"] = JOB_SEEDS
    seeds["condition"] = CONDITION_SEEDS
    for target, files in seeds.items():
        folder = out / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, content in files.items():
            (folder / name).write_bytes(content)
        print(f"make_seeds: {target}: {len(files)} seeds")
    return 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/python3
"""Converts one table with dbf2csv's typed outputs, loads them into real
databases and checks that they hold the values an independent reader
(Debian's python3-dbfread) gives.

Runs PROGRAM (after the words of DBF2CSV_TEST_LAUNCHER, if set) in the
table's folder: --schema=postgres (loaded by psql into a database of its
own on the server listening in SOCKET), --schema=sqlite (loaded by the
sqlite3 shell), --format=jsonl (read by Python's json) and, where the
program has it, --format=sqlite. A table that declares no code page, or one
that cannot be converted, runs with -e 437 on both sides. Where dbfread
cannot read the table the JSON Lines stand in for it, so that the databases
are still checked against the program's own values, and the row count
against the header's. Prints each difference and exits 1 when there is one."""

import argparse
import datetime
import decimal
import json
import os
import shlex
import sqlite3
import subprocess
import sys

import dbfread

NUMERIC = set('NFI+YO')
VFP = (0x30, 0x31, 0x32)


def run(args, cwd=None, stdin=None, check=True):
    r = subprocess.run(args, cwd=cwd, stdin=stdin, capture_output=True)
    if check and r.returncode != 0:
        raise RuntimeError('%s failed (%d): %s' % (' '.join(args), r.returncode, r.stderr.decode('utf-8', 'replace')))
    return r


class Field:
    def __init__(self, name, ftype, decimals, flags, version):
        self.name, self.type, self.decimals, self.flags, self.version = name, ftype, decimals, flags, version
        vfp = version in VFP
        self.binary = (ftype in 'CMV' and vfp and flags & 4) or ftype in 'QGPW' or (ftype == 'B' and not vfp)
        self.numeric = not self.binary and (ftype in NUMERIC or (ftype == 'B' and vfp))
        self.nullable = bool(flags & 2)


def header_of(path):
    """The visible fields and the number of records not marked deleted."""
    with open(path, 'rb') as f:
        data = f.read()
    version, count = data[0], int.from_bytes(data[4:8], 'little')
    first, length = int.from_bytes(data[8:10], 'little'), int.from_bytes(data[10:12], 'little')
    level7 = version & 7 == 4
    at, size = (68, 48) if level7 else (32, 32)
    fields = []
    while at + size <= first and data[at] not in (0x0D, 0x0A, 0x00):
        d = data[at:at + size]
        name = d[:32 if level7 else 11].split(b'\0')[0].decode('latin-1')
        ftype, dec, flags = (chr(d[32]), d[34], 0) if level7 else (chr(d[11]), d[17], d[18])
        if not flags & 1:
            fields.append(Field(name, ftype, 0 if ftype == 'C' else dec, flags, version))
        at += size
    live = sum(1 for n in range(count) if first + n * length < len(data) and data[first + n * length] != 0x2A)
    return fields, live


def canon(value, f, encoding):
    """A value of any source in one comparable form for its field."""
    if value is None:
        return None
    if f.binary:
        if isinstance(value, str) and value.startswith('\\x'):
            value = bytes.fromhex(value[2:])
        if isinstance(value, str):  # dbfread's text of binary bytes
            return value
        value = bytes(value)
        return value.rstrip(b'\0 ') if f.type == 'C' else value
    if f.numeric:
        if isinstance(value, bool):
            return None
        d = decimal.Decimal(str(value))
        if f.type in 'NF':  # written with the declared decimals
            d = d.quantize(decimal.Decimal(1).scaleb(-f.decimals), decimal.ROUND_HALF_UP)
        return '%.15g' % float(d)
    if f.type == 'L':
        return value in (True, 1, 'true')
    if f.type == 'D':
        return str(value)[:10]
    if f.type in 'T@':
        if isinstance(value, str):
            value = datetime.datetime.fromisoformat(value)
        return value.replace(microsecond=value.microsecond // 1000 * 1000)
    if isinstance(value, str):
        return value.rstrip(' ').replace('\0', '')
    return value


def same(got, exp, f, encoding):
    if got == exp:
        return True
    if got is None:
        # A field marked null is NULL whatever the reader makes of its bytes.
        return f.nullable or exp in ('', b'')
    if exp is None:
        return got in ('', b'')
    if isinstance(got, bytes) and isinstance(exp, str):
        return got.decode(encoding, 'replace').rstrip(' ') == exp.rstrip(' ')
    # dbfread ends a dBase III memo at its first end-of-text byte (0x1A),
    # binary data included, and reads a dBase IV memo to the end of its last
    # block rather than to its stored length.
    if f.type == 'M' and isinstance(exp, str) and isinstance(got, str):
        return exp.startswith(got) or got.startswith(exp)
    return False


def compare(source, rows, expected, fields, encoding, empty_is_null=False):
    if len(rows) != len(expected):
        return ['%s: %d rows, expected %d' % (source, len(rows), len(expected))]
    problems = []
    for n, (row, want) in enumerate(zip(rows, expected), 1):
        if len(row) != len(fields):
            return ['%s: record %d has %d values, expected %d' % (source, n, len(row), len(fields))]
        for i, f in enumerate(fields):
            got = canon(row[i], f, encoding)
            # The sqlite3 shell cannot tell '' from NULL in a nullable text.
            if empty_is_null and got is None and want[i] == '':
                continue
            if not same(got, want[i], f, encoding):
                problems.append('%s: record %d field %s: %r, expected %r' % (source, n, f.name, got, want[i]))
    return problems[:10]


def program(args, cwd):
    launcher = shlex.split(os.environ.get('DBF2CSV_TEST_LAUNCHER', ''))
    env = dict(os.environ, DBF2CSV_UI='headless')
    return subprocess.run(launcher + args, cwd=cwd, env=env, capture_output=True)


def convert(prog, table, folder):
    """Runs the program with each output; the code page used (-e)."""
    code_page = 'auto'
    for outputs in (['--format=jsonl', '-o', 't.jsonl'], ['--schema=postgres', '-o', 'pg.csv'],
                    ['--schema=sqlite', '-o', 'lite.csv'], ['--format=sqlite', '-o', 't.sqlite']):
        r = program([prog, '-e', code_page] + outputs + [table], folder)
        err = r.stderr.decode('utf-8', 'replace')
        if r.returncode != 0 and code_page == 'auto' and ('declares no code page' in err or 'cannot be converted' in err):
            code_page = '437'
            r = program([prog, '-e', code_page] + outputs + [table], folder)
            err = r.stderr.decode('utf-8', 'replace')
        if r.returncode == 2 and outputs[0] == '--format=sqlite':
            continue  # a build without SQLite output
        if r.returncode != 0:
            raise RuntimeError('dbf2csv %s: exit code %d: %s' % (' '.join(outputs), r.returncode, err))
    return code_page


def python_encoding(code_page, path):
    if code_page == '437':
        return 'cp437'
    try:
        enc = dbfread.DBF(path, load=False).encoding
    except Exception:
        enc = None
    cpg = os.path.splitext(path)[0]
    for ext in ('.cpg', '.CPG'):
        if os.path.exists(cpg + ext):
            enc = open(cpg + ext).read().strip()
            enc = 'cp' + enc if enc.isdigit() and enc != '65001' else ('utf-8' if enc == '65001' else enc)
    return enc if enc and enc != 'ascii' else None


def postgres_rows(folder, socket, table, database):
    psql = ['psql', '-h', socket, '-U', 'postgres', '-X', '-q', '-v', 'ON_ERROR_STOP=1']
    run(psql + ['-d', 'postgres', '-c', 'CREATE DATABASE %s' % database])
    try:
        run(psql + ['-d', database, '-f', 'pg.sql'], folder)
        out = run(psql + ['-d', database, '-At', '-c', 'SELECT row_to_json(r_) FROM "%s" r_' % table]).stdout
    finally:
        run(psql + ['-d', 'postgres', '-c', 'DROP DATABASE %s' % database])
    return [list(json.loads(line, parse_float=decimal.Decimal).values()) for line in out.decode().splitlines()]


def sqlite_rows(path, table):
    with sqlite3.connect(path) as db:
        return [list(r) for r in db.execute('SELECT * FROM "%s"' % table)]


def arguments():
    """The arguments of a check of one table on the test server."""
    p = argparse.ArgumentParser()
    p.add_argument('--program', required=True)
    p.add_argument('--table', required=True, help='the table, in a folder the run may write in')
    p.add_argument('--socket', required=True)
    p.add_argument('--database', required=True)
    return p


def main():
    a = arguments().parse_args()
    folder, name = os.path.split(os.path.abspath(a.table))
    sql_table = os.path.splitext(name)[0].lower()
    fields, live = header_of(a.table)
    code_page = convert(a.program, name, folder)
    encoding = python_encoding(code_page, a.table)

    with open(os.path.join(folder, 't.jsonl'), encoding='utf-8') as f:
        jsonl = [list(json.loads(line, parse_float=decimal.Decimal).values()) for line in f]
    problems = [] if len(jsonl) == live else ['jsonl: %d rows, the header has %d' % (len(jsonl), live)]
    expected = None
    if encoding:
        try:
            # Pairs, not a dict: a table may repeat a field name.
            table = dbfread.DBF(a.table, encoding=encoding, char_decode_errors='replace',
                                recfactory=lambda pairs: [v for k, v in pairs if k != '_NullFlags'])
            rows = list(table)
            if len(rows) == live:
                expected = [[canon(v, fields[i], encoding) for i, v in enumerate(r)] for r in rows]
        except Exception as e:
            print('dbfread cannot read the table (%s): the JSON Lines stand in' % e)
    if expected is None:
        expected = [[canon(v, fields[i], encoding) for i, v in enumerate(r)] for r in jsonl]
    encoding = encoding or 'latin-1'

    problems += compare('jsonl', jsonl, expected, fields, encoding)
    problems += compare('postgres', postgres_rows(folder, a.socket, sql_table, a.database), expected, fields, encoding)
    with open(os.path.join(folder, 'lite.sql'), 'rb') as script:
        run(['sqlite3', '-bail', 'lite.db'], folder, script)
    problems += compare('sqlite3 shell', sqlite_rows(os.path.join(folder, 'lite.db'), sql_table), expected, fields,
                        encoding, empty_is_null=True)
    if os.path.exists(os.path.join(folder, 't.sqlite')):
        problems += compare('--format=sqlite', sqlite_rows(os.path.join(folder, 't.sqlite'), sql_table), expected,
                            fields, encoding)
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())

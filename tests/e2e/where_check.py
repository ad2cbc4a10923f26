#!/usr/bin/python3
"""Checks dbf2csv --where against PostgreSQL's WHERE on the same typed values.

Loads the whole table into a database of its own (the --schema=postgres
script of a run without a condition, in the schema "whole"), then for each
EXPR converts the table with --where=EXPR, loads that into the schema "kept"
and checks that it holds exactly the rows of SELECT * FROM whole.TABLE WHERE
EXPR, as a multiset (EXCEPT ALL both ways). The code page is the one
typed_check.py chooses. Each --option goes to every run: with
--deleted=mark the column _deleted is the condition's _DELETED. Prints each difference and exits 1 when there is
one, or when no EXPR kept some rows and dropped others (the check would then
prove little)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from typed_check import arguments, program, run  # noqa: E402


def convert(prog, name, folder, code_page, extra):
    r = program([prog, '-e', code_page, '--schema=postgres', '-o', 'out.csv'] + extra + [name], folder)
    return r.returncode, r.stderr.decode('utf-8', 'replace')


def main():
    p = arguments()
    p.add_argument('--option', action='append', default=[], help='an option of every run (--deleted=mark)')
    p.add_argument('expressions', nargs='+')
    a = p.parse_args()
    folder, name = os.path.split(os.path.abspath(a.table))
    table = '"%s"' % os.path.splitext(name)[0].lower()
    code_page = 'auto'
    code, err = convert(a.program, name, folder, code_page, a.option)
    if code != 0 and ('declares no code page' in err or 'cannot be converted' in err):
        code_page = '437'
        code, err = convert(a.program, name, folder, code_page, a.option)
    if code != 0:
        print('dbf2csv without --where: exit code %d: %s' % (code, err))
        return 1

    psql = ['psql', '-h', a.socket, '-U', 'postgres', '-X', '-q', '-v', 'ON_ERROR_STOP=1']
    db = psql + ['-d', a.database]
    run(psql + ['-d', 'postgres', '-c', 'CREATE DATABASE %s' % a.database])
    problems, telling = [], False
    try:
        run(db + ['-c', 'CREATE SCHEMA whole', '-c', 'SET search_path = whole', '-f', 'out.sql'], folder)
        for expr in a.expressions:
            code, err = convert(a.program, name, folder, code_page, a.option + ['--where=' + expr])
            if code != 0:
                problems.append('%s: exit code %d: %s' % (expr, code, err))
                continue
            run(db + ['-c', 'DROP SCHEMA IF EXISTS kept CASCADE', '-c', 'CREATE SCHEMA kept', '-c',
                      'SET search_path = kept', '-f', 'out.sql'], folder)
            chosen = '(SELECT * FROM whole.%s WHERE %s)' % (table, expr)
            query = ('SELECT (SELECT count(*) FROM whole.{t}), (SELECT count(*) FROM {c} a_), '
                     '(SELECT count(*) FROM kept.{t}), '
                     '(SELECT count(*) FROM ({c} EXCEPT ALL SELECT * FROM kept.{t}) b_), '
                     '(SELECT count(*) FROM (SELECT * FROM kept.{t} EXCEPT ALL {c}) c_)').format(t=table, c=chosen)
            out = run(db + ['-At', '-F', ' ', '-c', query]).stdout.decode()
            total, expected, got, missing, extra = (int(x) for x in out.split())
            print('%s: %d of %d rows, PostgreSQL %d' % (expr, got, total, expected))
            telling = telling or 0 < expected < total
            if missing or extra or got != expected:
                problems.append('%s: %d rows, PostgreSQL %d; %d of its rows missing, %d rows it has not' %
                                (expr, got, expected, missing, extra))
    finally:
        run(psql + ['-d', 'postgres', '-c', 'DROP DATABASE %s' % a.database])
    if not telling:
        problems.append('no condition kept some rows and left out others')
    for line in problems:
        print(line)
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main())

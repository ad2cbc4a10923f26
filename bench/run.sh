#!/bin/bash
# The side-by-side benchmark behind `make bench`.
#
# Builds dbf2csv and the table generator in Release, generates the large test
# tables once into a temporary folder (kept between runs; a stamp records the
# generator's sources they came from), checks that dbf2csv converts them
# byte for byte like the reference converter, then times dbf2csv beside `cp`
# of the same bytes and the peer converters with hyperfine, measures the peak
# memory with GNU time and the terminal backend's cost against headless,
# times a data folder of 200 tables converted by `dbf2csv --batch`, by a
# shell loop of single runs and by ogr2ogr, and prints the tables of figures
# and the goals.
#
# Environment:
#   BENCH_DIR    where the tables and outputs go (default: $TMPDIR/dbf2csv-bench)
#   BENCH_BUILD  the Release build folder (default: build-release)
#   BENCH_RUNS   timed runs of each fast command (default 10)
#   BENCH_SLOW_RUNS  timed runs of the slow peers, ogr2ogr and dbfread (default 3)
#   BENCH_SCALE  divides every record count, for a quick trial (default 1)
#   BENCH_VERIFY 0 skips the byte check against the reference converter
#   BENCH_FOLDER_RUNS  timed runs of the folder's batch and loop (default 5)
#   BENCH_ONLY   "folder" times the data folder alone, "typed" the typed outputs alone,
#                "choice" the choice of fields and records alone, "where" --where alone
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BENCH_BUILD:-$ROOT/build-release}
DIR=${BENCH_DIR:-${TMPDIR:-/tmp}/dbf2csv-bench}
RUNS=${BENCH_RUNS:-10}
SLOW_RUNS=${BENCH_SLOW_RUNS:-3}
SCALE=${BENCH_SCALE:-1}
VERIFY=${BENCH_VERIFY:-1}
FOLDER_RUNS=${BENCH_FOLDER_RUNS:-5}
FOLDER=$DIR/folder
ORACLE=$ROOT/../shared/tools/oracle_csv.py
PY=/usr/bin/python3            # Debian's, which has python3-dbfread
BIN=$BUILD/dbf2csv
RES=$DIR/results

say() { printf '\n== %s\n' "$*" >&2; }

build() {
  say "building Release into $BUILD"
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DDBF2CSV_BENCH=ON >/dev/null
  cmake --build "$BUILD" -j 2 --target dbf2csv gen_tables
}

# The tables are generated again only when the generator's sources or the
# scale changed since the stamp was written.
generate() {
  mkdir -p "$DIR"
  local want
  want="scale=$SCALE $(cat "$ROOT"/bench/gen_tables.cpp "$ROOT"/tests/support/dbf_writer.* |
    md5sum | cut -d' ' -f1)"
  if [ -f "$DIR/stamp" ] && [ "$(cat "$DIR/stamp")" = "$want" ]; then
    say "tables in $DIR are up to date"
    return
  fi
  say "generating tables into $DIR"
  rm -f "$DIR"/*.DBF "$DIR"/*.DBT "$DIR"/*.FPT "$DIR"/*.md5 "$DIR/stamp"
  "$BUILD/bench/gen_tables" "$DIR" "$SCALE"
  echo "$want" >"$DIR/stamp"
}

# The data folder of the batch benchmark, generated again on the same terms.
generate_folder() {
  local want
  want="scale=$SCALE $(cat "$ROOT"/bench/gen_tables.cpp "$ROOT"/tests/support/dbf_writer.* |
    md5sum | cut -d' ' -f1)"
  if [ -f "$DIR/folder.stamp" ] && [ "$(cat "$DIR/folder.stamp")" = "$want" ]; then
    say "data folder $FOLDER is up to date"
    return
  fi
  say "generating the data folder into $FOLDER"
  rm -rf "$FOLDER" "$DIR/folder.stamp"
  mkdir -p "$FOLDER"
  "$BUILD/bench/gen_tables" --folder "$FOLDER" "$SCALE"
  echo "$want" >"$DIR/folder.stamp"
}

# key|file|memo file|title: the tables timed side by side.
TABLES="dbase3|BENCH3.DBF||dBase III
dbt|MEMODBT.DBF|MEMODBT.DBT|dBase III + DBT memo
fpt|MEMOFPT.DBF|MEMOFPT.FPT|FoxPro 2 + FPT memo"

# The reference converter's output is computed once per generation (it is
# slow) and kept as a checksum; dbf2csv must give the same bytes.
verify() {
  local key file memo title want got
  while IFS='|' read -r key file memo title; do
    if [ ! -f "$DIR/$key.md5" ]; then
      say "reference output of $file (once per generation)"
      "$PY" "$ORACLE" --names -o "$DIR/oracle.csv" "$DIR/$file" 2>"$DIR/oracle.log" ||
        { cat "$DIR/oracle.log" >&2; exit 1; }
      grep -q 'ORACLE: checked' "$DIR/oracle.log" ||
        { echo "bench: reference converter does not vouch for $file:" >&2;
          tail -3 "$DIR/oracle.log" >&2; exit 1; }
      md5sum <"$DIR/oracle.csv" | cut -d' ' -f1 >"$DIR/$key.md5"
      rm -f "$DIR/oracle.csv"
    fi
    DBF2CSV_UI=headless "$BIN" "$DIR/$file" 2>/dev/null
    want=$(cat "$DIR/$key.md5")
    got=$(md5sum <"$DIR/${file%.DBF}.CSV" | cut -d' ' -f1)
    if [ "$want" != "$got" ]; then
      echo "bench: dbf2csv output of $file differs from the reference" >&2
      exit 1
    fi
    say "dbf2csv output of $file matches the reference"
  done <<<"$TABLES"
}

size_of() { stat -c %s "$@" | awk '{s += $1} END {print s}'; }
# The record count of a table's header (bytes 4 to 7, little-endian).
records_of() { od -An -t u4 -j 4 -N 4 "$1" | tr -d ' '; }

time_table() {
  local key=$1 file=$2 memo=$3 t=$DIR/$2 m="" src="$DIR/$2" pgm=""
  if [ -n "$memo" ]; then
    m=$DIR/$memo
    src="$t $m"
    pgm="-m $m"
  fi
  say "timing $file"
  hyperfine --style basic --warmup 1 --runs "$RUNS" --export-json "$RES/$key-fast.json" \
    -n dbf2csv "DBF2CSV_UI=headless $BIN $t 2>/dev/null" \
    -n "dbf2csv, no field-name line" "DBF2CSV_UI=headless $BIN $t N 2>/dev/null" \
    -n "dbf2csv --encoding=1252" "DBF2CSV_UI=headless $BIN --encoding=1252 $t 2>/dev/null" \
    -n "dbf2csv --rfc4180" "DBF2CSV_UI=headless $BIN --rfc4180 $t 2>/dev/null" \
    -n cp "cp --reflink=never $src $DIR/copy/" \
    -n pgdbf "pgdbf -P $pgm $t >$DIR/out.pgdbf" \
    -n dbview "dbview -b -t -d, $t >$DIR/out.dbview" >&2
  # A peer that prints next to nothing has refused the table.
  if [ "$(wc -l <"$DIR/out.dbview")" -lt 2 ]; then
    echo "dbview refuses the table: $(head -c 80 "$DIR/out.dbview")" >>"$RES/$key.notes"
  fi
  hyperfine --style basic --warmup 0 --runs "$SLOW_RUNS" --export-json "$RES/$key-slow.json" \
    -n "ogr2ogr -f CSV" "rm -f $DIR/out.ogr.csv; ogr2ogr -f CSV $DIR/out.ogr.csv $t" \
    -n "dbfread + csv" "$PY $ROOT/bench/dbfread_csv.py $t $DIR/out.dbfread.csv" >&2
}

# dbf2csv, cp and pgdbf taking turns, run after run, so that the machine's
# other work weighs on the three alike: the goals are ratios of the pairs.
time_pairs() {
  local key=$1 file=$2 memo=$3 t=$DIR/$2 src="$DIR/$2" pgm="" i
  if [ -n "$memo" ]; then
    src="$t $DIR/$memo"
    pgm="-m $DIR/$memo"
  fi
  say "$file: dbf2csv, cp and pgdbf taking turns"
  : >"$RES/$key-pairs.txt"
  local TIMEFORMAT
  for i in $(seq "$RUNS"); do
    TIMEFORMAT="dbf2csv %3R"
    { time DBF2CSV_UI=headless "$BIN" "$t" 2>/dev/null; } 2>>"$RES/$key-pairs.txt"
    TIMEFORMAT="cp %3R"
    # shellcheck disable=SC2086
    { time cp --reflink=never $src "$DIR/copy/"; } 2>>"$RES/$key-pairs.txt"
    TIMEFORMAT="pgdbf %3R"
    # shellcheck disable=SC2086
    { time pgdbf -P $pgm "$t" >"$DIR/out.pgdbf"; } 2>>"$RES/$key-pairs.txt"
  done
}

measure_memory() {
  local key=$1 file=$2 kb
  kb=$(DBF2CSV_UI=headless /usr/bin/time -f %M "$BIN" "$DIR/$file" N 2>&1 >/dev/null | tail -1)
  echo "$key|$(records_of "$DIR/$file")|$kb" >>"$RES/memory.txt"
}

# The terminal backend draws its progress line on standard error; script(1)
# gives the program a pseudo-terminal. Both backends run under script so that
# the pty is the only difference, and they take turns, so that the machine's
# other work weighs on both alike.
time_terminal() {
  local t=$DIR/BENCH3.DBF i ui
  say "terminal progress against headless, runs taking turns"
  : >"$RES/terminal.txt"
  script -qec "DBF2CSV_UI=headless $BIN $t N" /dev/null </dev/null >/dev/null
  local TIMEFORMAT
  for i in $(seq "$RUNS"); do
    for ui in headless terminal; do
      TIMEFORMAT="$ui %3R %3U %3S"
      { time script -qec "DBF2CSV_UI=$ui $BIN $t N" /dev/null </dev/null >/dev/null; } \
        2>>"$RES/terminal.txt"
    done
  done
}

# The folder converted by a batch and by single runs: the same bytes for
# every table, or the timing would compare different work. ogr2ogr writes
# into a folder of its own; the CSV files beside the tables are removed
# before each timed run, so every run writes them anew.
time_folder() {
  local t bytes records=0 loop
  say "data folder: --batch against single runs, byte for byte"
  rm -rf "$DIR/folder-batch" "$FOLDER"/*.CSV
  DBF2CSV_UI=headless "$BIN" -o "$DIR/folder-batch" --batch "$FOLDER" 2>/dev/null
  for t in "$FOLDER"/*.DBF; do
    DBF2CSV_UI=headless "$BIN" "$t" 2>/dev/null
    cmp -s "${t%.DBF}.CSV" "$DIR/folder-batch/$(basename "${t%.DBF}").CSV" ||
      { echo "bench: --batch and a single run differ on $t" >&2; exit 1; }
    records=$((records + $(records_of "$t")))
  done
  rm -rf "$DIR/folder-batch"
  bytes=$(size_of "$FOLDER"/*.DBF "$FOLDER"/*.DBT "$FOLDER"/*.FPT)
  echo "folder|Data folder of $(ls "$FOLDER"/*.DBF | wc -l) tables|$records|$bytes" >>"$RES/tables.txt"
  loop="for t in $FOLDER/*.DBF; do DBF2CSV_UI=headless $BIN \$t 2>/dev/null; done"
  say "timing the data folder"
  hyperfine --style basic --warmup 1 --runs "$FOLDER_RUNS" --export-json "$RES/folder-fast.json" \
    --prepare "rm -f $FOLDER/*.CSV" \
    -n "dbf2csv --batch" "DBF2CSV_UI=headless $BIN --batch $FOLDER 2>/dev/null" \
    -n "dbf2csv, shell loop" "$loop" >&2
  rm -f "$FOLDER"/*.CSV
  hyperfine --style basic --warmup 0 --runs "$SLOW_RUNS" --export-json "$RES/folder-slow.json" \
    --prepare "rm -rf $DIR/out.ogr" \
    -n "ogr2ogr -f CSV" "ogr2ogr -f CSV $DIR/out.ogr $FOLDER" >&2
  rm -rf "$DIR/out.ogr"
}

# The typed outputs on the 1,000,000-record table beside the default CSV,
# in paired runs (hyperfine takes the commands in turn), and the peak memory
# of --format=sqlite on the 4,000,000-record one. The goals: --typed at most
# 1.3 times the default, --format=jsonl 1.6 times, --format=sqlite 0.6
# times the typed CSV piped into the sqlite3 shell's .import.
time_typed() {
  local t=$DIR/BENCH3.DBF o=$DIR/typed run="DBF2CSV_UI=headless $BIN" kb
  say "timing the typed outputs"
  mkdir -p "$o"
  hyperfine --style basic --warmup 1 --runs "$RUNS" --export-json "$RES/typed.json" \
    --prepare "rm -f $o/new.db $o/pipe.db" \
    -n "dbf2csv -o p.csv" "$run -o $o/p.csv $t 2>/dev/null" \
    -n "dbf2csv -e 437 --typed" "$run -e 437 --typed -o $o/t.csv $t 2>/dev/null" \
    -n "dbf2csv -e 437 --format=jsonl" "$run -e 437 --format=jsonl -o $o/t.jsonl $t 2>/dev/null" \
    -n "dbf2csv -e 437 --format=sqlite" "$run -e 437 --format=sqlite -o $o/new.db $t 2>/dev/null" \
    -n "dbf2csv --typed -o - | sqlite3 .import" \
    "$run -e 437 --typed -o - $t 2>/dev/null | sqlite3 $o/pipe.db '.import --csv /dev/stdin t'" >&2
  rm -f "$o/new.db"
  kb=$(DBF2CSV_UI=headless /usr/bin/time -f %M "$BIN" -e 437 --format=sqlite -o "$o/new.db" \
    "$DIR/BENCH3X4.DBF" 2>&1 >/dev/null | tail -1)
  echo "sqlite-4m|$(records_of "$DIR/BENCH3X4.DBF")|$kb" >"$RES/typed-memory.txt"
  # Instructions do not depend on what else the machine runs: the typed
  # outputs' share of the default run's, counted by callgrind.
  : >"$RES/typed-instructions.txt"
  if command -v valgrind >/dev/null; then
    local name args
    for name in default typed jsonl; do
      case $name in
        default) args="" ;;
        typed) args="-e 437 --typed" ;;
        jsonl) args="-e 437 --format=jsonl" ;;
      esac
      # shellcheck disable=SC2086
      DBF2CSV_UI=headless valgrind --tool=callgrind --callgrind-out-file=/dev/null "$BIN" $args \
        -o "$o/cg.out" "$t" 2>&1 >/dev/null | sed -n "s/.*refs: *\([0-9,]*\).*/$name|\1/p" | tr -d , \
        >>"$RES/typed-instructions.txt"
    done
  fi
  rm -rf "$o"
  "$PY" - "$RES/typed.json" "$RES/typed-memory.txt" "$RES/typed-instructions.txt" <<'PY' | tee "$RES/typed.md"
import json, sys
r = {x['command']: x for x in json.load(open(sys.argv[1]))['results']}
base, typed = r['dbf2csv -o p.csv']['mean'], r['dbf2csv -e 437 --typed']['mean']
rows = [('--typed', typed / base, 'dbf2csv -o p.csv', 1.3),
        ('--format=jsonl', r['dbf2csv -e 437 --format=jsonl']['mean'] / base, 'dbf2csv -o p.csv', 1.6),
        ('--format=sqlite', r['dbf2csv -e 437 --format=sqlite']['mean'] / r['dbf2csv --typed -o - | sqlite3 .import']['mean'],
         'dbf2csv --typed -o - | sqlite3 .import', 0.6)]
print('| command | mean s | |\n|---|---|---|')
for name, x in r.items():
    print('| `%s` | %.3f | ± %.3f |' % (name, x['mean'], x['stddev']))
print('\n| output | times | against | goal |\n|---|---|---|---|')
for name, ratio, against, goal in rows:
    print('| %s | %.2f | `%s` | at most %.1f %s |' % (name, ratio, against, goal, 'met' if ratio <= goal else 'MISSED'))
key, records, kb = open(sys.argv[2]).read().strip().split('|')
print('\n--format=sqlite, %s records: peak resident memory %.1f MiB (goal 16 MiB)' % (records, int(kb) / 1024))
counts = dict(line.strip().split('|') for line in open(sys.argv[3]) if '|' in line)
if len(counts) == 3:
    base = int(counts['default'])
    print('\nInstructions (callgrind): default %.0f million; --typed %.2f times (goal 1.3), '
          '--format=jsonl %.2f times (goal 1.6)' % (base / 1e6, int(counts['typed']) / base, int(counts['jsonl']) / base))
PY
}

# The choice of fields and records on the 1,000,000-record table beside the
# plain run, in paired runs. The goals: --fields with a quarter of the
# fields at most 0.6 times the plain run; --limit=10 under 10 ms, start-up
# included (it stops reading).
time_choice() {
  local t=$DIR/BENCH3.DBF o=$DIR/choice run="DBF2CSV_UI=headless $BIN" quarter
  say "timing the choice of fields and records"
  mkdir -p "$o"
  quarter=$(DBF2CSV_UI=headless "$BIN" --info --format=jsonl "$t" | "$PY" -c '
import json, sys
names = [f["name"] for f in json.load(sys.stdin)["fields"]]
print(",".join(names[: max(1, len(names) // 4)]))')
  hyperfine --style basic --warmup 1 --runs "$RUNS" --export-json "$RES/choice.json" -N \
    -n "dbf2csv -o p.csv" "env DBF2CSV_UI=headless $BIN -o $o/p.csv $t" \
    -n "dbf2csv --fields=(a quarter)" "env DBF2CSV_UI=headless $BIN --fields=$quarter -o $o/q.csv $t" \
    -n "dbf2csv --limit=10" "env DBF2CSV_UI=headless $BIN --limit=10 -o $o/l.csv $t" >&2
  rm -rf "$o"
  "$PY" - "$RES/choice.json" <<'PY' | tee "$RES/choice.md"
import json, sys
r = {x['command']: x for x in json.load(open(sys.argv[1]))['results']}
base = r['dbf2csv -o p.csv']['mean']
print('| command | mean s | |\n|---|---|---|')
for name, x in r.items():
    print('| `%s` | %.4f | ± %.4f |' % (name, x['mean'], x['stddev']))
ratio = r['dbf2csv --fields=(a quarter)']['mean'] / base
limit = r['dbf2csv --limit=10']['mean'] * 1000
print('\n| choice | figure | goal |\n|---|---|---|')
print('| --fields, a quarter of the fields | %.2f times the plain run | at most 0.6 %s |' % (ratio, 'met' if ratio <= 0.6 else 'MISSED'))
print('| --limit=10 | %.1f ms | under 10 ms %s |' % (limit, 'met' if limit < 10 else 'MISSED'))
PY
}

# --where on the 1,000,000-record table beside the plain run, in paired
# runs: a condition on a number, a date and a text that every record meets,
# so that the two write the same lines. The goal: at most 1.2 times.
time_where() {
  local t=$DIR/BENCH3.DBF o=$DIR/where run="DBF2CSV_UI=headless $BIN"
  local cond="ID > 0 AND (PRICE IS NULL OR PRICE > -1e9) AND (DUE IS NULL OR DUE >= DATE '0001-01-01') AND CODE <> ''"
  say "timing --where"
  mkdir -p "$o"
  hyperfine --style basic --warmup 1 --runs "$RUNS" --export-json "$RES/where.json" \
    -n "dbf2csv -o p.csv" "$run -o $o/p.csv $t 2>/dev/null" \
    -n "dbf2csv --where (every record) -o w.csv" "$run --where=\"$cond\" -o $o/w.csv $t 2>/dev/null" >&2
  cmp "$o/p.csv" "$o/w.csv" || { echo "bench: --where kept other lines than the plain run" >&2; exit 1; }
  rm -rf "$o"
  "$PY" - "$RES/where.json" <<'PY' | tee "$RES/where.md"
import json, sys
r = {x['command']: x for x in json.load(open(sys.argv[1]))['results']}
print('| command | mean s | |\n|---|---|---|')
for name, x in r.items():
    print('| `%s` | %.3f | ± %.3f |' % (name, x['mean'], x['stddev']))
ratio = r['dbf2csv --where (every record) -o w.csv']['mean'] / r['dbf2csv -o p.csv']['mean']
print('\n--where keeping every record: %.2f times the plain run (goal: at most 1.2, %s)' %
      (ratio, 'met' if ratio <= 1.2 else 'MISSED'))
PY
}

main() {
  build
  if [ "${BENCH_ONLY:-}" = choice ]; then
    generate
    mkdir -p "$RES"
    time_choice
    return
  fi
  if [ "${BENCH_ONLY:-}" = where ]; then
    generate
    mkdir -p "$RES"
    time_where
    return
  fi
  if [ "${BENCH_ONLY:-}" = typed ]; then
    generate
    mkdir -p "$RES"
    time_typed
    return
  fi
  if [ "${BENCH_ONLY:-}" = folder ]; then
    generate_folder
    rm -rf "$RES" && mkdir -p "$RES" && : >"$RES/tables.txt"
    time_folder
    "$PY" "$ROOT/bench/report.py" "$RES" | tee "$RES/report.md"
    return
  fi
  generate
  generate_folder
  [ "$VERIFY" = 0 ] || verify
  rm -rf "$RES" "$DIR/copy"
  mkdir -p "$RES" "$DIR/copy"
  : >"$RES/tables.txt"
  while IFS='|' read -r key file memo title; do
    local bytes
    bytes=$(size_of "$DIR/$file" ${memo:+"$DIR/$memo"})
    echo "$key|$title|$(records_of "$DIR/$file")|$bytes" >>"$RES/tables.txt"
    time_table "$key" "$file" "$memo"
    time_pairs "$key" "$file" "$memo"
  done <<<"$TABLES"
  measure_memory dbase3 BENCH3.DBF
  measure_memory dbase3-4m BENCH3X4.DBF
  time_terminal
  time_folder
  time_typed
  time_choice
  time_where
  rm -rf "$DIR/copy" "$DIR"/out.*
  say "results (also in $RES/report.md)"
  "$PY" "$ROOT/bench/report.py" "$RES" | tee "$RES/report.md"
  echo
  echo "dbview and ogr2ogr do not read memo files (they print the block numbers);"
  echo "pgdbf writes PostgreSQL COPY text, the others CSV."
  echo "--batch runs as many tables at once as there are cores ($(nproc) here)."
}

main "$@"

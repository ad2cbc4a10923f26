#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz, seeds them from the shared corpus
# and runs each one for FUZZ_SECONDS seconds.
#
#   FUZZ_SECONDS=600 tests/fuzz/run.sh             every target in turn
#   FUZZ_TARGETS="table memo_fpt" tests/fuzz/run.sh
#
# What a target finds lands in build-fuzz/findings/<target>/ (crash-*,
# timeout-*, leak-*, oom-*); once mended, copy it to
# tests/fuzz/regressions/<target>/, which the unit tests replay. The inputs a
# target has learnt stay in build-fuzz/corpus/<target>/ for the next run, and
# each run's report (execs, coverage) in build-fuzz/logs/.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
build=${FUZZ_BUILD:-$root/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
targets=${FUZZ_TARGETS:-"table memo_dbt3 memo_dbt4 memo_fpt job_split code_page_guess condition"}
corpus=${DBF2CSV_CORPUS:-$root/../shared/corpus}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DDBF2CSV_FUZZ=ON -DDBF2CSV_SANITIZE=ON -DDBF2CSV_QT=OFF >/dev/null
for t in $targets; do
  cmake --build "$build" -j "${JOBS:-2}" --target "fuzz_$t"
done

rm -rf "$build/seeds"
if [ -d "$corpus" ]; then
  python3 "$root/tests/fuzz/make_seeds.py" "$corpus" "$build/seeds"
else
  echo "fuzz: no corpus at $corpus; starting from nothing" >&2
fi

# The scratch files of each input go to memory when it can.
[ -d /dev/shm ] && [ -w /dev/shm ] && export TMPDIR=/dev/shm
# AddressSanitizer keeps freed memory in quarantine (256 MB by default); at
# thousands of runs a second that alone would pass the 256 MB limit on the
# fuzzer's resident size, which is meant for the program's own allocations.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=32}"

failed=""
mkdir -p "$build/logs"
for t in $targets; do
  mkdir -p "$build/corpus/$t" "$build/findings/$t"
  dirs="$build/corpus/$t"
  for d in "$build/seeds/$t" "$root/tests/fuzz/regressions/$t"; do
    [ -d "$d" ] && dirs="$dirs $d"
  done
  echo "fuzz: $t for ${seconds}s" >&2
  # shellcheck disable=SC2086 # the corpus folders are separate arguments
  if ! "$build/tests/fuzz/fuzz_$t" -max_total_time="$seconds" -rss_limit_mb=256 -timeout=5 \
      -max_len=20000 -print_final_stats=1 -artifact_prefix="$build/findings/$t/" \
      $dirs >"$build/logs/$t.log" 2>&1; then
    failed="$failed $t"
  fi
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/logs/$t.log" >&2 || true
done

if [ -n "$failed" ]; then
  echo "fuzz: findings in:$failed (see $build/findings/ and $build/logs/)" >&2
  exit 1
fi
echo "fuzz: no findings" >&2

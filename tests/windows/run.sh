#!/bin/sh
# The Windows suite: dbf2csv.exe (from the Windows build) under Wine, driven
# by test programs of the Linux build, in one Wine prefix made for this run
# inside the Windows build tree.
#   tests/windows/run.sh LINUX_BUILD WINDOWS_BUILD
# The unit tests built for Windows run first, then the end-to-end tests that
# apply to Windows against dbf2csv.exe (the corpus differential among them),
# then the cases only Windows has, then the setup program's round trip.
set -eu
linux=$(cd "$1" && pwd)
windows=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEPREFIX="$windows/wineprefix" WINEARCH=win64 WINEDEBUG=-all
# Without these Wine offers to install its .NET and HTML runtimes.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Headless runs: no display, so no Wine window can wait for anyone.
unset DISPLAY WAYLAND_DISPLAY
log="$windows/wine-tests"  # what Wine's set-up says
mkdir -p "$log"

# A new prefix for every run; stop only this prefix's server, and let it end
# before its files go.
"$server" -k 2>/dev/null || true
"$server" -w 2>/dev/null || true
rm -rf "$WINEPREFIX"
started=$(date +%s)
"$wine" wineboot -i >"$log/wineboot.out" 2>&1
# Under Xvfb there is no window manager: Wine draws the frames itself.
for value in Managed Decorated; do
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /d N /f >>"$log/wineboot.out" 2>&1
done
# One server for the whole run: each program then starts in a tenth of a
# second. (It can start only once the set-up's own server has ended.)
"$server" -w
"$server" -p
echo "wine: prefix ready in $(( $(date +%s) - started )) s"
# The drives C: and Z: shared as \\localhost\c$ and \\localhost\z$, as
# Windows shares its drives, for the tests of UNC names: Wine finds
# \\SERVER\SHARE in the prefix's dosdevices/unc.
mkdir -p "$WINEPREFIX/dosdevices/unc/localhost"
ln -s "$WINEPREFIX/drive_c" "$WINEPREFIX/dosdevices/unc/localhost/c\$"
ln -s / "$WINEPREFIX/dosdevices/unc/localhost/z\$"
export DBF2CSV_TEST_SERVER=localhost

export DBF2CSV_TEST_PROGRAM="$windows/dbf2csv.exe"
export DBF2CSV_TEST_LAUNCHER="$wine"
export DBF2CSV_TEST_HOLD_FILE="$windows/tests/windows/hold_file.exe"
export DBF2CSV_TEST_READ_PIPE="$windows/tests/windows/read_pipe.exe"

# The end-to-end tests without the cases of Linux alone, which their
# WINDOWS_SKIP list names (tests/e2e/CMakeLists.txt).
e2e_filter=$(cat "$linux/tests/e2e/e2e_tests.windows_filter")

# Runs a test program. A test whose failure is Wine's, not dbf2csv.exe's (a
# failed run with no word of the program's own on standard error, or one
# that the host's loader ended with "Inconsistency detected by ld.so" as
# Wine's process exited, seen once in some thousands of runs under load:
# the test support lists such tests in the file DBF2CSV_TEST_LAUNCH_FAILURES
# names) is run once more on its own, and only a second failure counts; any
# other failure counts at once. Every failure message gives the run's exit
# code, standard error and error log.
export DBF2CSV_TEST_LAUNCH_FAILURES="$log/launch_failures"
run_tests() {
  out="$log/$(basename "$1").out"
  : >"$DBF2CSV_TEST_LAUNCH_FAILURES"
  if "$@" --gtest_brief=1 >"$out" 2>&1; then
    cat "$out"
    return 0
  fi
  cat "$out"
  failed=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\).*/\1/p' "$out" | grep -v '^[0-9]*$' | sort -u)
  [ -n "$failed" ] || return 1
  again=$(printf '%s\n' "$failed" | grep -Fxf "$DBF2CSV_TEST_LAUNCH_FAILURES" | paste -sd: -) || true
  if printf '%s\n' "$failed" | grep -qvFxf "$DBF2CSV_TEST_LAUNCH_FAILURES"; then
    return 1
  fi
  echo "wine: Wine failed, not dbf2csv.exe; running once more on their own: $again"
  "$1" --gtest_filter="$again" --gtest_brief=1
}

status=0
unit_started=$(date +%s)
# The unit tests built for Windows, each program with the filter of the
# tests that apply (unit_tests.txt, written by the Windows build).
while read -r filter program; do
  out="$log/$(basename "$program").out"
  if "$wine" "$program" --gtest_filter="$filter" --gtest_brief=1 >"$out" 2>&1; then
    echo "wine: $(basename "$program"): $(sed -n 's/^\[  PASSED  \] \([^.]*\).*/\1/p' "$out") passed"
  else
    cat "$out"
    status=1
  fi
done <"$windows/unit_tests.txt"
echo "wine: unit tests done in $(( $(date +%s) - unit_started )) s"
run_tests "$linux/tests/e2e/e2e_tests" --gtest_filter="$e2e_filter" || status=1
run_tests "$linux/tests/windows/wine_tests" || status=1

# The setup program: installed, used and uninstalled in the same prefix.
# The newest: a build folder kept across a version change holds older ones.
setup=$(ls -t "$windows"/dbf2csv-*-setup.exe | head -n 1)
version=${setup##*/dbf2csv-}
WINE="$wine" "$here/setup_round_trip.sh" "$setup" "$linux/dbf2csv" "${version%-setup.exe}" \
  "$here/../../samples/ORDERS.DBF" || status=1

# The dialogs, on an X server of this run's own (Wine makes no window
# without a display): the Win32 backend driven in-process
# (tests/ui/win32), then the person run. A Wine session stays bound to the
# display it began with, so the prefix's server is stopped before and after.
"$server" -k 2>/dev/null || true
"$server" -w 2>/dev/null || true
. "$here/xvfb.sh"
trap xvfb_stop EXIT
trap 'exit 1' INT TERM
dialogs=$(date +%s)
# Like the tests above, a failed person run is run once more, in a new Wine
# session, and only a second failure counts (each leaves its files in the
# folder $1).
person_run() {
  "$server" -p 2>/dev/null || true
  WINE="$wine" WINESERVER="$server" ORACLE="$here/../../../shared/tools/oracle_csv.py" \
    "$here/person_run.sh" "$windows" "$linux" "$1"
  result=$?
  "$server" -k 2>/dev/null || true
  "$server" -w 2>/dev/null || true
  return $result
}
if xvfb_start "$log/xvfb"; then
  "$server" -p
  out="$log/win32_ui_tests.out"
  if timeout -k 5 300 "$wine" "$windows/tests/ui/win32/win32_ui_tests.exe" --gtest_brief=1 >"$out" 2>&1; then
    echo "wine: win32_ui_tests.exe: $(sed -n 's/^\[  PASSED  \] \([^.]*\).*/\1/p' "$out") passed"
  else
    cat "$out"
    status=1
  fi
  if ! person_run "$log/person_run"; then
    echo "wine: running the person run once more"
    person_run "$log/person_run.again" || status=1
  fi
  xvfb_stop
  echo "wine: dialogs under Xvfb in $(( $(date +%s) - dialogs )) s"
else
  status=1
fi

"$server" -k 2>/dev/null || true
"$server" -w 2>/dev/null || true
echo "wine: suite done in $(( $(date +%s) - started )) s"
exit $status

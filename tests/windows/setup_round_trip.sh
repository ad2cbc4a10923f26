#!/bin/sh
# The setup program as an administrator's script meets it, under Wine: a
# silent install, the installed program converting the sample table exactly
# as the Linux build does, the uninstaller registered with its version and
# publisher, the Start menu entry and "Open with" for .dbf tables; a silent
# uninstall that leaves none of it; then an install with /NOASSOC, which
# leaves the .dbf tables alone, and its uninstall.
#   setup_round_trip.sh SETUP.EXE LINUX_DBF2CSV VERSION SAMPLE_TABLE
# Runs in the Wine prefix of WINEPREFIX, with the Wine programs of WINE and
# WINESERVER (tests/windows/run.sh sets all three). Exit 0 when everything
# holds, 1 at the first check that does not.
set -eu
setup=$1 linux=$2 version=$3 sample=$4
wine=${WINE:-wine64}

fail() { echo "setup_round_trip: $*" >&2; exit 1; }
step() { echo "setup_round_trip: $*"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

folder="$WINEPREFIX/drive_c/Program Files/dbf2csv"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/dbf2csv.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\dbf2csv'
open_with_key='HKLM\Software\Classes\.dbf\OpenWithProgids'

# `reg query` of a key, or nothing when the key is not there (reg then
# says so on standard output, with exit code 1).
query() {
  out=$("$wine" reg query "$1" 2>/dev/null) || out=""
  printf '%s\n' "$out" | tr -d '\r'
}

install() {
  "$wine" "$setup" /S "$@" >"$work/setup.out" 2>&1 || fail "the setup program ended with $?"
  for f in dbf2csv.exe uninstall.exe README.txt LICENSE.txt; do
    [ -f "$folder/$f" ] || fail "$f is not in Program Files\\dbf2csv"
  done
  # The README is text for Notepad: the manual page with CR LF line ends.
  head -n 1 "$folder/README.txt" | grep -q "$(printf '\r')\$" || fail "README.txt lacks CR LF line ends"
  grep -q "^NAME" "$folder/README.txt" || fail "README.txt is not the manual page"
  [ -f "$link" ] || fail "no Start menu entry"
  registered=$(query "$uninstall_key")
  for value in "DisplayName    REG_SZ    dbf2csv" "DisplayVersion    REG_SZ    $version" \
               "Publisher    REG_SZ    dbf2csv authors" \
               "QuietUninstallString    REG_SZ    \"C:\\Program Files\\dbf2csv\\uninstall.exe\" /S"; do
    printf '%s\n' "$registered" | grep -qF "$value" || fail "the uninstall entry lacks '$value': $registered"
  done
}

# The uninstaller copies itself away and returns at once; the copy removes
# the folder, then the registry entries, last of all the uninstall entry.
uninstall() {
  "$wine" "C:\\Program Files\\dbf2csv\\uninstall.exe" /S >"$work/uninstall.out" 2>&1 ||
    fail "the uninstaller ended with $?"
  waited=0
  while { [ -e "$folder" ] || [ -n "$(query "$uninstall_key")" ]; } && [ $waited -lt 60 ]; do
    sleep 1
    waited=$((waited + 1))
  done
  [ ! -e "$folder" ] && [ ! -e "$link" ] || fail "files left after uninstalling: $(ls "$folder" 2>&1)"
  [ -z "$(query "$uninstall_key")" ] || fail "the uninstall entry is left"
  if query "$open_with_key" | grep -q dbf2csv; then fail "Open with dbf2csv is left"; fi
}

step "silent install"
install
query "$open_with_key" | grep -q "dbf2csv.Table" || fail "no Open with dbf2csv for .dbf tables"

step "the installed program converts $(basename "$sample")"
table=$(basename "$sample" .DBF)
mkdir "$work/linux" "$work/windows"
cp "$(dirname "$sample")/$table".* "$work/linux/"
cp "$(dirname "$sample")/$table".* "$work/windows/"
(cd "$work/linux" && DBF2CSV_UI=headless "$linux" "$table.DBF" >/dev/null 2>&1) ||
  fail "the Linux build did not convert the sample"
(cd "$work/windows" &&
  DBF2CSV_UI=headless "$wine" "C:\\Program Files\\dbf2csv\\dbf2csv.exe" "$table.DBF" >out.txt 2>err.txt) ||
  fail "the installed program ended with $?: $(cat "$work/windows/err.txt")"
cmp "$work/linux/$table.CSV" "$work/windows/$table.CSV" || fail "the installed program's CSV differs"

step "silent uninstall"
uninstall

step "silent install without Open with"
install /NOASSOC
if query "$open_with_key" | grep -q dbf2csv; then fail "/NOASSOC still offers Open with dbf2csv"; fi
uninstall
step "done"

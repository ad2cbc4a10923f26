#!/bin/sh
# The packages of a build as a user meets them: made by CPack, checked by
# lintian, installed with apt-get (dbf2csv alone as on a server, then with
# dbf2csv-qt as on a desktop), used from PATH, and purged, after which no
# file of theirs may be left.
#   round_trip.sh BUILD_DIR VERSION SAMPLE_TABLE
# Exit 0 when everything holds, 1 at the first check that does not, 77
# (skipped) where packages cannot be installed: not root, or a dbf2csv
# package already installed (it would be replaced, then removed). Runs one
# at a time on a machine (a lock), since every run installs the same names.
set -eu
build=$1 version=$2 sample=$3
arch=$(dpkg --print-architecture)
PATH=/usr/sbin:/usr/bin:/sbin:/bin  # the system's, not a `make install` in /usr/local
export PATH LC_ALL=C DEBIAN_FRONTEND=noninteractive

fail() { echo "round_trip: $*" >&2; exit 1; }
step() { echo "round_trip: $(date +%T) $*"; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q ' installed$'; }
# apt-get, waiting for the package database when someone else holds it, and
# unpacking our manual page and documents even where dpkg is told to leave
# out /usr/share/man and /usr/share/doc (minimal container images).
apt_get() {
  apt-get -y -q -o DPkg::Lock::Timeout=600 \
    -o Dpkg::Options::=--path-include=/usr/share/man/man1/dbf2csv.1.gz \
    -o Dpkg::Options::=--path-include='/usr/share/doc/dbf2csv*' "$@" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get $* failed"; }
}

[ "$(id -u)" -eq 0 ] || { echo "round_trip: skipped: installing packages needs root"; exit 77; }
exec 9>/tmp/dbf2csv-package-round-trip.lock
flock -w 1200 9 || fail "another round trip held the lock for 20 minutes"
for p in dbf2csv dbf2csv-qt; do
  if installed $p; then
    echo "round_trip: skipped: package $p is installed here; remove it to run this test"
    exit 77
  fi
done
work=$(mktemp -d)
cleanup() {
  if installed dbf2csv || installed dbf2csv-qt; then
    apt-get -y -q -o DPkg::Lock::Timeout=600 purge dbf2csv dbf2csv-qt >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

step "packages"
cpack --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/packages/dbf2csv_${version}_$arch.deb
qtdeb=$work/packages/dbf2csv-qt_${version}_$arch.deb
[ -f "$qtdeb" ] || qtdeb=""  # a build without Qt makes dbf2csv alone
[ -f "$deb" ] || { ls "$work/packages"; fail "no $deb"; }

# field PACKAGE NAME PATTERN [!]: the control field matches the shell
# pattern (with !, does not).
field() {
  value=$(dpkg-deb -f "$1" "$2")
  case "$value" in $3) matched=yes ;; *) matched=no ;; esac
  [ "$matched" = "${4:-yes}" ] || fail "$(basename "$1"): $2 is \"$value\""
}
field "$deb" Depends '*libc6 (>=*'
field "$deb" Depends '*libstdc++6 (>=*'
field "$deb" Depends '*libsqlite3-0 (>=*'
field "$deb" Depends '*qt*' no
field "$deb" Section utils
field "$deb" Priority optional
field "$deb" Maintainer '?*<?*@?*>'
if [ -n "$qtdeb" ]; then
  field "$deb" Recommends dbf2csv-qt
  field "$qtdeb" Depends "*dbf2csv (= $version)*"
  field "$qtdeb" Depends '*libqt6widgets6 (>=*'
fi

step "lintian"
lintian --fail-on error --info $deb $qtdeb || fail "lintian found errors"

step "dbf2csv alone"
apt_get install "$deb"
[ "$(command -v dbf2csv)" = /usr/bin/dbf2csv ] || fail "dbf2csv on PATH is $(command -v dbf2csv)"
[ "$(dbf2csv --version)" = "dbf2csv $version" ] || fail "dbf2csv --version says $(dbf2csv --version)"
table=$(basename "$sample" .DBF)
for dir in installed built; do
  mkdir "$work/$dir"
  cp "$sample" "${sample%.DBF}.DBT" "$work/$dir/"
done
(cd "$work/installed" && DBF2CSV_UI=headless dbf2csv "$table" >out 2>&1) || fail "the installed program failed"
(cd "$work/built" && DBF2CSV_UI=headless "$build/dbf2csv" "$table" >out 2>&1) || fail "the built program failed"
cmp "$work/installed/$table.CSV" "$work/built/$table.CSV" || fail "the installed program wrote another $table.CSV"
cmp "$work/installed/out" "$work/built/out" || fail "the installed program said: $(cat "$work/installed/out")"
[ "$(man -w dbf2csv)" = /usr/share/man/man1/dbf2csv.1.gz ] || fail "man -w dbf2csv: $(man -w dbf2csv 2>&1)"
zcat /usr/share/man/man1/dbf2csv.1.gz | head -1 | grep -qF "\"dbf2csv $version\"" || fail "the manual page is not of $version"
zcat /usr/share/doc/dbf2csv/changelog.gz | head -1 | grep -qF "dbf2csv ($version)" ||
  fail "the changelog does not begin with $version"
[ -s /usr/share/doc/dbf2csv/README.md ] && [ -s /usr/share/doc/dbf2csv/copyright ] || fail "README or copyright missing"
DBF2CSV_UI=qt dbf2csv --version 2>&1 | grep -qF "DBF2CSV_UI=qt is not available here" ||
  fail "without dbf2csv-qt, the qt backend was not refused"

if [ -n "$qtdeb" ]; then
  step "dbf2csv with dbf2csv-qt"
  apt_get install "$deb" "$qtdeb"
  # The loader's own trace shows where the program found its module.
  trace=$(DBF2CSV_UI=qt QT_QPA_PLATFORM=offscreen LD_DEBUG=files dbf2csv --version 2>&1)
  echo "$trace" | grep -q "file=/usr/bin/\.\./lib/[^ ]*/dbf2csv-qt\.so " ||
    fail "the installed program did not load its module: $(echo "$trace" | grep 'dbf2csv')"
  desktop=/usr/share/applications/dbf2csv.desktop
  report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ] || fail "desktop-file-validate: $report"
  grep -q '^application/x-dbf=.*dbf2csv.desktop' /usr/share/applications/mimeinfo.cache ||
    fail "the desktop database does not offer dbf2csv for DBF tables"
  [ -s /usr/share/icons/hicolor/64x64/apps/dbf2csv.png ] || fail "no icon"
  # The MIME package alone in a database of its own: *.dbf in any case.
  mkdir -p "$work/mime/packages"
  cp /usr/share/mime/packages/dbf2csv.xml "$work/mime/packages/"
  update-mime-database "$work/mime" >"$work/mime.log" 2>&1 ||
    fail "update-mime-database refused dbf2csv.xml: $(cat "$work/mime.log")"
  grep -qx '50:application/x-dbf:\*\.dbf' "$work/mime/globs2" ||
    fail "globs of dbf2csv.xml: $(grep -v '^#' "$work/mime/globs2")"
fi

step "purge"
dpkg-query -L dbf2csv ${qtdeb:+dbf2csv-qt} >"$work/files"
apt_get purge dbf2csv ${qtdeb:+dbf2csv-qt}
for p in dbf2csv dbf2csv-qt; do
  status=$(dpkg-query -W -f='${Status}' $p 2>/dev/null || true)
  case "$status" in "" | *" not-installed") ;; *) fail "after purge, $p is \"$status\"" ;; esac
done
while read -r f; do
  # A directory may stay only while another package owns it.
  if [ -d "$f" ]; then
    [ "$f" = /. ] || dpkg-query -S "$f" >/dev/null 2>&1 || fail "left after purge: $f"
  elif [ -e "$f" ] || [ -L "$f" ]; then
    fail "left after purge: $f"
  fi
done <"$work/files"
[ -n "$qtdeb" ] && grep -q dbf2csv.desktop /usr/share/applications/mimeinfo.cache &&
  fail "the desktop database still offers dbf2csv"
step "done"

#!/bin/sh
# Installs, on a Debian 12 machine, only the packages dbf2csv needs that are
# missing. Safe to run again: it does nothing when everything is there.
#   scripts/install-deps.sh          build and test dependencies
#   scripts/install-deps.sh bench    also the benchmark's tools and peers
#   scripts/install-deps.sh fuzz     also clang and its sanitizer runtimes
#   scripts/install-deps.sh windows  also MinGW-w64, NSIS and Wine, for
#                                    dbf2csv.exe, its setup program and tests,
#                                    and Xvfb and xdotool for its dialogs',
#                                    and tclsh, which makes SQLite's source
#                                    into the one file the build compiles
#   scripts/install-deps.sh web      also Emscripten, for the page, and
#                                    Chromium and a WebSocket client for
#                                    its tests (DevTools protocol)
set -eu

want="cmake g++ make libgtest-dev python3 qt6-base-dev fonts-liberation2 strace"
# What `make package` and its install round trip in `make test` use.
want="$want dpkg-dev file lintian desktop-file-utils man-db shared-mime-info"
# The typed outputs are loaded into real databases by their tests, and
# compared with an independent reader.
want="$want postgresql sqlite3 libsqlite3-dev python3-dbfread"
case "${1:-}" in
  bench) want="$want hyperfine pgdbf dbview gdal-bin python3-dbfread time" ;;
  fuzz) want="$want clang libclang-rt-14-dev" ;;
  web) want="$want emscripten node-acorn chromium python3-websocket" ;;
  windows) want="$want g++-mingw-w64-x86-64-posix wine wine64 fonts-wine googletest groff-base nsis xvfb xdotool tcl" ;;
esac

missing=""
for p in $want; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

echo "install-deps: installing$missing" >&2
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq || true
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null

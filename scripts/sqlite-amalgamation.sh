#!/bin/sh
# Makes SQLite's amalgamation (sqlite3.c, sqlite3.h) from Debian's own
# source package of the SQLite this machine's libsqlite3-dev is, for builds
# that compile SQLite in (the Windows build):
#   scripts/sqlite-amalgamation.sh OUT_DIR [DEBIAN_VERSION]
# The source comes through apt from the Debian archives this machine already
# uses, with a source list and state of its own under OUT_DIR (the system's
# configuration is left as it is): apt checks the archive's signature and
# the files' checksums, and dpkg-source checks them again against the .dsc
# as it applies Debian's patches. SQLite's own tooling (tclsh) then makes
# the amalgamation. A second run with the same version does nothing.
# Needs apt, dpkg-dev, tclsh, make and a C compiler for this machine
# (scripts/install-deps.sh windows installs them). Exits non-zero, saying
# why, when the source cannot be had.
set -eu
out=${1:?usage: $0 OUT_DIR [DEBIAN_VERSION]}
version=${2:-$(dpkg-query -W -f='${Version}' libsqlite3-dev 2>/dev/null || true)}
[ -n "$version" ] || { echo "sqlite-amalgamation: no version given and libsqlite3-dev is not installed" >&2; exit 1; }

mkdir -p "$out"
out=$(cd "$out" && pwd)
if [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && [ "$(cat "$out/VERSION" 2>/dev/null)" = "$version" ]; then
  exit 0
fi
for tool in apt-get dpkg-source tclsh make cc; do
  command -v "$tool" >/dev/null || { echo "sqlite-amalgamation: $tool is missing (scripts/install-deps.sh windows)" >&2; exit 1; }
done

work="$out/work"
rm -rf "$work" "$out/sqlite3.c" "$out/sqlite3.h" "$out/VERSION"
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/download" "$work/build"
trap 'rm -rf "$work"' EXIT

# The source lines of the Debian suites this machine installs from (its
# release, -updates and -security), trusting Debian's archive key alone.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
apt-get indextargets --format '$(SITE) $(RELEASE) $(COMPONENT)' 2>/dev/null | sort -u |
  while read -r site suite component; do
    case "$suite" in
      "$codename" | "$codename-updates" | "$codename-security") ;;
      *) continue ;;
    esac
    [ "$component" = main ] && echo "deb-src [signed-by=$keyring] $site $suite main"
  done >"$work/sources.list" || true
if [ -z "$codename" ] || [ ! -s "$work/sources.list" ]; then
  echo "sqlite-amalgamation: this machine installs from no Debian release's main archive" >&2
  exit 1
fi

set -- -o Dir::Etc::SourceList="$work/sources.list" -o Dir::Etc::SourceParts=/nonexistent \
  -o Dir::State::Lists="$work/lists" -o Dir::Cache="$work/cache" -o Debug::NoLocking=1 -qq
# As root apt downloads as its own user, who may not write here.
[ "$(id -u)" -eq 0 ] && set -- "$@" -o APT::Sandbox::User=root
apt-get "$@" update >"$work/apt.log" 2>&1 || true
if ! (cd "$work/download" && apt-get "$@" source --download-only "sqlite3=$version") >>"$work/apt.log" 2>&1; then
  sed 's/^/  /' "$work/apt.log" >&2
  echo "sqlite-amalgamation: the source of sqlite3 $version could not be had" >&2
  exit 1
fi
dpkg-source -x "$work/download"/sqlite3_*.dsc "$work/source" >"$work/dpkg-source.log" 2>&1 ||
  { cat "$work/dpkg-source.log" >&2; exit 1; }

# The amalgamation as SQLite's build makes it, with this machine's compiler
# for the tools it builds on the way (lemon, mkkeywordhash).
(cd "$work/build" && CC=cc "$work/source/configure" --disable-tcl >configure.log 2>&1 &&
  make sqlite3.c >make.log 2>&1) ||
  { tail -n 20 "$work/build/configure.log" "$work/build/make.log" >&2 2>/dev/null; exit 1; }
cp "$work/build/sqlite3.c" "$work/build/sqlite3.h" "$out/"
echo "$version" >"$out/VERSION"
echo "sqlite-amalgamation: SQLite $(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$out/sqlite3.h") from Debian's sqlite3 $version in $out"

#!/bin/sh
# tools/deb-check.sh [BUILD]: builds the Debian package from BUILD (default
# build) with CPack, checks that it holds exactly the installed files of
# tests/install/expected_files.txt and that lintian finds no error in it,
# installs it with apt-get (which brings its dependencies), runs both
# programs, removes it and checks that its files are gone. Needs root or sudo; without them it says so and stops.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
if [ "$(id -u)" -eq 0 ]; then sudo=""; elif command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
  echo "deb-check: needs root or sudo to install the package; not run"
  exit 0
fi
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/orben_*_*.deb | head -n 1)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Depends
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ {print $NF}' | sed 's|^\./usr/||' | LC_ALL=C sort >"$work/held.txt"
diff -u tests/install/expected_files.txt "$work/held.txt"
echo "== the package holds exactly the installed files"
# Debian's own checks: an error fails, warnings are shown.
lintian --fail-on error "$deb"
echo "== lintian finds no error"

$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$(realpath "$deb")" >/dev/null
dpkg -s orben | grep -q '^Status: install ok installed'
/usr/bin/orben --version
/usr/bin/tuka2 --version
/usr/bin/tuka2 run /usr/share/doc/orben/examples/suma.ehc | grep -q 'output port 01: 0008'
[ -f /usr/share/applications/org.orben.Orben.desktop ]
echo "== installed: orben and tuka2 run"

$sudo env DEBIAN_FRONTEND=noninteractive dpkg -r orben >/dev/null
for file in /usr/bin/orben /usr/bin/tuka2 /usr/share/applications/org.orben.Orben.desktop \
    /usr/share/metainfo/org.orben.Orben.metainfo.xml /usr/share/man/man1/orben.1.gz; do
  [ ! -e "$file" ] || { echo "deb-check: $file is left after dpkg -r"; exit 1; }
done
echo "== removed cleanly"

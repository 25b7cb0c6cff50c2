#!/bin/sh
# tests/install/check_install.sh BUILD SOURCE: installs BUILD into a
# temporary DESTDIR under /usr and into a temporary --prefix, and checks
# that exactly the files of tests/install/expected_files.txt are installed,
# that the desktop entry, the AppStream metainfo and the MIME types are
# valid, and that every man page, English and Spanish, renders without a
# warning.
set -eu
build=$1
source=$2
for tool in desktop-file-validate appstreamcli man xmllint update-mime-database; do
  command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is missing"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

DESTDIR="$work/dest" cmake --install "$build" --prefix /usr >/dev/null
(cd "$work/dest/usr" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$work/installed.txt"
if ! diff -u "$source/tests/install/expected_files.txt" "$work/installed.txt"; then
  echo "FAIL: the installed files differ from tests/install/expected_files.txt"
  exit 1
fi

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for file in bin/orben bin/tuka2 share/applications/org.orben.Orben.desktop; do
  [ -f "$work/prefix/$file" ] || { echo "FAIL: --prefix: no $file"; exit 1; }
done
"$work/prefix/bin/tuka2" --version | grep -q "0\." || { echo "FAIL: tuka2 --version"; exit 1; }

usr="$work/dest/usr"
desktop-file-validate "$usr/share/applications/org.orben.Orben.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/org.orben.Orben.metainfo.xml"
xmllint --noout "$usr/share/mime/packages/org.orben.Orben.xml"

# The MIME database built from the package's types names them for the
# object files' names, and the desktop entry opens both types.
update-mime-database "$usr/share/mime"
grep -q '^50:text/x-tuka2-ehc:\*\.ehc$' "$usr/share/mime/globs2" || { echo "FAIL: *.ehc"; exit 1; }
grep -q '^50:text/x-ihex:\*\.hex$' "$usr/share/mime/globs2" || { echo "FAIL: *.hex"; exit 1; }
grep -q '^MimeType=text/x-tuka2-ehc;text/x-ihex;$' "$usr/share/applications/org.orben.Orben.desktop"

# Every installed man page, English and Spanish, renders without a single
# warning (groff's and man's own, on the error output) and has its name and
# synopsis sections, in its language's words. C.UTF-8 reads the Spanish
# pages' accents on any system, with or without a Spanish locale.
pages=$(cd "$usr/share/man" && find . -name '*.gz' | sed 's|^\./||' | LC_ALL=C sort)
for page in $pages; do
  case $page in
    es/*) name=NOMBRE synopsis=SINOPSIS ;;
    *) name=NAME synopsis=SYNOPSIS ;;
  esac
  rendered=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/$page" 2>"$work/warnings")
  if [ -s "$work/warnings" ]; then
    echo "FAIL: man $page warns:"; cat "$work/warnings"; exit 1
  fi
  echo "$rendered" | grep -q "^$name" || { echo "FAIL: man $page has no $name"; exit 1; }
  echo "$rendered" | grep -q "^$synopsis" || { echo "FAIL: man $page has no $synopsis"; exit 1; }
done
echo "installed files, desktop entry, metainfo, MIME types and man pages are good"

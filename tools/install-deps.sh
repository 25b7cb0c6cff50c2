#!/bin/sh
# Installs the Debian packages that building and testing ORBEN needs. Does
# nothing when they are all there already.
set -e
packages="cmake ninja-build g++ libasan8 libubsan1 make googletest libgtest-dev libbenchmark-dev qt6-base-dev libgl-dev fonts-dejavu-core fonts-liberation python3 gettext time xvfb xdotool imagemagick qt6-translations-l10n libcli11-dev nlohmann-json3-dev libtomlplusplus-dev libxml2-utils gnumeric desktop-file-utils appstream man-db dpkg-dev lintian librsvg2-bin emscripten chromium"
# The page's build and tests run on Node.js with npm: Debian's, unless a
# Node.js with its own npm is installed already.
command -v npm > /dev/null 2>&1 || packages="$packages nodejs npm"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing

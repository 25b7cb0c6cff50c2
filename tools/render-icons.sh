#!/bin/sh
# tools/render-icons.sh: renews the PNG icons from data/icons/org.orben.Orben.svg
# (48 and 128 pixels, for the hicolor theme) with rsvg-convert.
set -eu
cd "$(dirname "$0")/../data/icons"
for size in 48 128; do
  rsvg-convert -w "$size" -h "$size" org.orben.Orben.svg -o "org.orben.Orben-$size.png"
done

#!/usr/bin/env bash
# Renders the program's icon (packaging/icons/k740scalib.svg) into the PNG
# sizes that the package installs and the about window shows. Needs
# rsvg-convert (Debian librsvg2-bin); run it after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" k740scalib.svg -o "k740scalib-$size.png"
done

#!/usr/bin/env bash
# Renders the program icon data/icons/pelikon.svg to the PNG sizes that the
# window and the desktop's icon theme use (data/icons/<size>/pelikon.png).
# Run after changing the drawing; needs rsvg-convert (Debian: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 32 48 64 128 256; do
  mkdir -p "data/icons/$size"
  rsvg-convert -w "$size" -h "$size" data/icons/pelikon.svg -o "data/icons/$size/pelikon.png"
done

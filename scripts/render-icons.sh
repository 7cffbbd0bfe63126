#!/usr/bin/env bash
# Renders the program's icon from its SVG into the PNG sizes that desktops look for. Run after
# changing desktop/icons/org.korvane.Korvane.svg and commit the PNG files (needs librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../desktop/icons"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" org.korvane.Korvane.svg -o "hicolor/${size}x${size}/apps/org.korvane.Korvane.png"
done

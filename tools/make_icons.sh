#!/usr/bin/env bash
# Renders the SVG icons drawn for the project into the PNG sizes the desktop asks for:
# the application icon into packaging/icons/hicolor/NxN/apps/. Needs rsvg-convert (librsvg2-bin).
# Run it after changing an SVG and commit the PNGs it writes.
set -euo pipefail
cd "$(dirname "$0")/.."
icons=packaging/icons/hicolor
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$icons/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/org.tressaly.Tressaly.svg" \
    -o "$icons/${size}x${size}/apps/org.tressaly.Tressaly.png"
done

#!/usr/bin/env bash
# Draws the application icon (resource 128): a white arrow into a tray on a
# rounded square in the wizard's accent colour. Run from anywhere; writes
# resources/app.ico. Needs ImageMagick and zopfli (installed by scripts/bootstrap).
set -euo pipefail
out=$(cd "$(dirname "$0")/.." && pwd)/app.ico
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
  -fill '#0277BD' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill '#2A9BDF' -draw 'roundrectangle 8,8 247,120 48,48' -draw 'rectangle 8,80 247,120' \
  -fill '#0277BD' -draw 'rectangle 8,112 247,140' \
  -fill white -stroke none \
  -draw 'rectangle 108,44 148,132' \
  -draw 'polygon 72,124 184,124 128,182' \
  -draw 'roundrectangle 56,192 200,212 8,8' \
  -draw 'rectangle 56,168 74,212' -draw 'rectangle 182,168 200,212' \
  "$tmp/icon-256.png"
for size in 16 24 32 48 64; do
  convert "$tmp/icon-256.png" -resize ${size}x${size} "$tmp/icon-$size.png"
done
convert "$tmp"/icon-16.png "$tmp"/icon-24.png "$tmp"/icon-32.png "$tmp"/icon-48.png "$tmp"/icon-64.png \
  "$tmp"/icon-256.png "$out"
echo "wrote $out"
"$(dirname "$0")/store-small.py" "$out"

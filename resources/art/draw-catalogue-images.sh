#!/usr/bin/env bash
# Draws the pictures of the reference server's whole-run catalogue: the
# product's icon (128 x 128) and one banner per offer (624 x 320, the shape
# of the offer page's picture). Run from anywhere; writes
# server/whole-run-catalogue/images/*.png. Needs ImageMagick and the DejaVu
# fonts (installed by scripts/bootstrap).
set -euo pipefail
out=$(cd "$(dirname "$0")/../.." && pwd)/server/whole-run-catalogue/images
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A palette image without dithering and the strongest compression keep each
# file at a few kilobytes.
finish() {
  convert "$1" -strip +dither -colors 64 -define png:compression-level=9 -define png:exclude-chunks=all "png8:$out/$2"
  echo "wrote $out/$2 ($(stat -c %s "$out/$2") bytes)"
}

# The product: a white play sign on a rounded square in the accent colour,
# on the page background.
convert -size 256x256 'xc:#FAFAFA' \
  -fill '#0277BD' -draw 'roundrectangle 8,8 247,247 48,48' \
  -fill white -draw 'polygon 96,64 96,192 200,128' \
  -resize 128x128 "$tmp/product.png"
finish "$tmp/product.png" brimvale-player.png

# banner <file> <colour> <tint> <name> <tagline> <glyph drawing...>
banner() {
  local file=$1 colour=$2 tint=$3 name=$4 tagline=$5
  shift 5
  convert -size 624x320 "xc:$tint" \
    -fill "$colour" -draw 'roundrectangle 24,24 296,296 36,36' \
    -fill white -stroke white "$@" -stroke none \
    -fill "$colour" -font DejaVu-Sans-Bold -pointsize 34 -annotate +324+150 "$name" \
    -fill '#4A4036' -font DejaVu-Sans -pointsize 20 -annotate +326+190 "$tagline" \
    "$tmp/$file"
  finish "$tmp/$file" "$file"
}

banner quill-notes.png '#2E7D32' '#E8F5E9' 'Quill Notes' 'Notes that keep up with you' \
  -strokewidth 16 -draw 'line 100,230 210,90' -draw 'polygon 210,90 232,68 226,104'
banner pebble-backup.png '#6D4C41' '#EFEBE9' 'Pebble Backup' 'Your files, safe every night' \
  -draw 'ellipse 160,170 92,62 0,360' -fill '#6D4C41' -stroke '#6D4C41' -draw 'ellipse 160,170 54,30 0,360'
banner lumen-reader.png '#F9A825' '#FFF8E1' 'Lumen Reader' 'Read anything, anywhere' \
  -draw 'polygon 70,100 156,120 156,240 70,220' -draw 'polygon 250,100 164,120 164,240 250,220'
banner orbit-sync.png '#5E35B1' '#EDE7F6' 'Orbit Sync' 'Every device, one folder' \
  -fill none -strokewidth 12 -draw 'ellipse 160,160 100,44 0,360' -fill white -draw 'circle 160,160 160,124'
banner harbor-vpn.png '#00838F' '#E0F7FA' 'Harbor VPN' 'A quiet harbour online' \
  -draw 'polygon 160,70 236,110 226,200 160,250 94,200 84,110'

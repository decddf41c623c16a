#!/usr/bin/env bash
# Draws the page images (512 x 512 PNG resources): the welcome and download
# page (IMAGE_BLOB 101: an arrow into a tray), the finish pages (IMAGE_BLOB2
# 102: a check mark) and the error page (IMAGE_BLOB3 103: a calm warning
# sign), on the page background (RGB 250,250,250) in the wizard's accent
# colour (RGB 2,119,189). Run from anywhere; writes resources/images/*.png.
# Needs ImageMagick and zopfli (installed by scripts/bootstrap).
set -euo pipefail
out=$(cd "$(dirname "$0")/.." && pwd)/images
mkdir -p "$out"

background='#FAFAFA'
accent='#0277BD'
accentLight='#2A9BDF'
tint='#E3F1FA'
soft='#A9D3EE'
amber='#F2B047'
amberTint='#FDF1DC'
ink='#4A4036'

# Drawn at twice the size and scaled down for smooth edges; a palette image
# without dithering and the strongest compression keep each file small.
finish() {
  convert "$1" -resize 512x512 -strip +dither -treedepth 8 -colors 256 -define png:compression-level=9 \
    -define png:compression-filter=5 -define png:exclude-chunks=all "png8:$out/$2"
  echo "wrote $out/$2 ($(stat -c %s "$out/$2") bytes)"
}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Confetti and dots around the halo, shared by the welcome and finish images.
dots=(
  -fill "$soft" -draw 'circle 150,260 150,282' -draw 'circle 880,300 880,316' -draw 'circle 900,760 900,784'
  -draw 'circle 120,700 120,714'
  -fill "$accentLight" -draw 'circle 210,150 210,164' -draw 'circle 830,170 830,190' -draw 'circle 180,860 180,876'
  -draw 'circle 850,900 850,912'
)

convert -size 1024x1024 "xc:$background" \
  -fill "$tint" -draw 'circle 512,512 512,92' \
  "${dots[@]}" \
  -fill "$accent" -draw 'circle 512,512 512,182' \
  -fill white -stroke none \
  -draw 'roundrectangle 470,290 554,560 14,14' \
  -draw 'polygon 392,520 632,520 512,656' \
  -fill none -stroke white -strokewidth 44 -draw 'stroke-linecap round stroke-linejoin round polyline 352,610 352,720 672,720 672,610' \
  "$tmp/welcome.png"
finish "$tmp/welcome.png" welcome.png

convert -size 1024x1024 "xc:$background" \
  -fill "$tint" -draw 'circle 512,512 512,92' \
  "${dots[@]}" \
  -fill "$accent" -draw 'circle 512,512 512,182' \
  -fill none -stroke white -strokewidth 76 \
  -draw 'stroke-linecap round stroke-linejoin round polyline 360,530 468,638 676,410' \
  "$tmp/finish.png"
finish "$tmp/finish.png" finish.png

convert -size 1024x1024 "xc:$background" \
  -fill "$amberTint" -draw 'circle 512,512 512,92' \
  -fill "$amber" -stroke "$amber" -strokewidth 90 \
  -draw 'stroke-linejoin round polygon 512,270 776,730 248,730' \
  -stroke none -fill "$ink" \
  -draw 'roundrectangle 484,400 540,590 28,28' \
  -draw 'circle 512,660 512,692' \
  "$tmp/error.png"
finish "$tmp/error.png" error.png
"$(dirname "$0")/store-small.py" "$out"/*.png

#!/usr/bin/env bash
# Draws Orvelle's splash picture (350 x 324) with ImageMagick and renders its icons from their SVG.
# The PNGs are committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mono=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf

# Icon: drawn once as packaging/icons/orvelle.svg (two clock faces side by side on a dark board
# square); the window's icon and the hicolor sizes are rendered from it (rsvg-convert: librsvg2-bin).
svg=packaging/icons/orvelle.svg
rsvg-convert -w 64 -h 64 "$svg" -o icon.png
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "packaging/icons/orvelle-$size.png"
done
for png in icon.png packaging/icons/orvelle-*.png; do
  convert "$png" -depth 8 -strip "$png"
done

# Splash: the name and two clocks over the edge of a board.
squares=""
for row in 0 1 2; do
  for col in $(seq 0 7); do
    [ $(((row + col) % 2)) -eq 0 ] && continue
    x=$((col * 44)); y=$((200 + row * 44))
    squares+="rectangle $x,$y $((x + 43)),$((y + 43)) "
  done
done
convert -size 350x324 gradient:'#1f2b31'-'#34505c' \
  -fill '#caa472' -draw 'rectangle 0,200 350,324' -fill '#7a5634' -draw "$squares" \
  -fill '#1f2b31c0' -draw 'rectangle 0,284 350,324' \
  -fill '#f3efe6' -font "$font" -pointsize 54 -gravity north -annotate +0+36 'Orvelle' \
  -fill '#d9822b' -font "$mono" -pointsize 34 -annotate -70+120 '05:00' -annotate +70+120 '05:00' \
  -fill '#f3efe6' -font "$font" -pointsize 13 -gravity south -annotate +0+14 'Version 1.0  ·  Kadrith Software' \
  -type TrueColor -depth 8 -strip splash.png

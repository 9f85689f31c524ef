#!/usr/bin/env bash
# Draws Orvelle's splash picture (350 x 324) and icon (64 x 64) with ImageMagick.
# The PNGs are committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
mono=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf

# Icon: two clock faces side by side on a dark board square.
convert -size 64x64 xc:none \
  -fill '#2b3a42' -draw 'roundrectangle 2,8 61,55 8,8' \
  -fill '#f3efe6' -draw 'circle 19,32 19,18' -draw 'circle 45,32 45,18' \
  -stroke '#2b3a42' -strokewidth 3 -draw 'line 19,32 19,22' -draw 'line 19,32 26,32' \
  -draw 'line 45,32 45,22' -draw 'line 45,32 38,28' \
  -stroke none -fill '#d9822b' -draw 'rectangle 14,4 24,9' -draw 'rectangle 40,4 50,9' \
  -depth 8 -strip icon.png

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

#!/usr/bin/env bash
# The whole program with a real capture: "Take pictures" checked by a click, a start press and three
# switches on real Shift keys leave the three pictures of plies 1 to 3, each a JPEG of the frame size.
. "$(dirname "$0")/lib.sh"

pics="$WORK/Bilder für Zoë/"
start_with_camera "$pics" "videotestsrc pattern=ball ! video/x-raw,width=320,height=240 ! videoconvert ! appsink"

tap 50   # start: no picture
tap 62   # ply 1
tap 50   # ply 2
tap 62   # ply 3
for name in game01move001a.jpg game01move001b.jpg game01move002a.jpg; do
  wait_for_file "$pics$name"
  [ "$(identify -format '%m %wx%h' "$pics$name")" = "JPEG 320x240" ] || fail "$name is not a 320x240 JPEG"
done
count=$(find "$pics" -type f | wc -l)
[ "$count" -eq 3 ] || fail "expected 3 pictures, found $count"
quit_orvelle
echo "PASS"

#!/usr/bin/env bash
# The whole program as a club would use it, on real Shift keys under a real X server:
# 1. on a machine where it has never run it writes its settings, shows its window and no message, and
#    plays; Escape during the game asks first, and "Keep playing" keeps the window and the game; a
#    right-click on the clock's digits opens the window's menu; a second start leaves one Orvelle;
# 2. with a real capture, "Take pictures" ticked, Shift typed into "Other..." starts no game; a start
#    press and five switches leave one JPEG of the frame size per ply, and one of the starting position;
# 3. Reset and "Make Video" turn them into output.avi: one frame per ply from the first, 2 per second
#    (the starting position is not one of them);
# 4. the camera's picture is in the main window; a key typed into it closes the camera alone, during a
#    game: the clocks go on, Reset and "Make Video" still make that game's video, a frame per ply with a
#    picture, and the next game takes pictures again once "Take pictures" is ticked;
# 5. the same video from the command line, without a display, and its exit codes.
. "$(dirname "$0")/lib.sh"

# make_video FRAMES: "Make Video" in the window makes output.avi of FRAMES frames of 320 x 240, 2 a second.
make_video() {
  local known probe
  rm -f "$video"
  known=$(orvelle_windows)
  click_make_video
  timeout 30 xdotool search --sync --onlyvisible --name '^Creating video\.\.\.$' >/dev/null || fail "no progress dialog"
  answer_message "$known"
  for _ in $(seq 100); do xdotool search --onlyvisible --name '^Creating video\.\.\.$' >/dev/null || break; sleep 0.1; done
  [ -s "$video" ] || fail "no output.avi"
  ffmpeg -v error -i "$video" -f null - 2>"$WORK/decode.txt" || fail "ffmpeg cannot decode the video"
  [ -s "$WORK/decode.txt" ] && fail "decode errors: $(cat "$WORK/decode.txt")"
  probe=$(ffprobe -v error -count_frames -select_streams v:0 \
    -show_entries stream=nb_read_frames,width,height,r_frame_rate -of csv=p=0 "$video")
  [ "$probe" = "320,240,2/1,$1" ] || fail "video is $probe, expected 320,240,2/1,$1"
}

start_orvelle
conf=$XDG_CONFIG_HOME/Kadrith/Orvelle.conf
[ -f "$conf" ] || fail "no settings file written"
for k in CAM_REF DELAY_TYPE DELAY_DELTA RESOLUTION_REF LTIME RTIME DIR; do
  grep -q "^$k=" "$conf" || fail "$k missing from $conf"
done # their values are tst_settings' firstRunWritesDefaultsButNeverOverAValue's
wait_for_splash
# A settings message would be a second window captioned "Orvelle".
windows=$(orvelle_windows | wc -l)
[ "$windows" -eq 1 ] || fail "$windows windows captioned Orvelle on first run"
# A right-click on the left clock's digits opens the window's menu: its time controls' first is 1+0.
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
window_menu $((WIDTH / 4)) $((HEIGHT * 2 / 5)) Down Right Return
wait_until 30 grep -q '^TIME_CONTROL=60$' "$conf" || fail "no time control chosen from the menu on the digits: $(cat "$conf")"
tap 50   # Black starts White's clock
tap 62
# Escape during a game asks first; its default, "Keep playing", keeps the window and the game.
known=$(orvelle_windows)
xdotool windowfocus --sync "$WINDOW" key Escape
question=$(new_window "$known") || fail "Escape during a game closed without asking"
xdotool windowfocus --sync "$question" key Escape
sleep 0.5
kill -0 "$ORVELLE_PID" 2>/dev/null || fail "Orvelle ended although the players kept playing"
[ "$(orvelle_windows)" = "$known" ] || fail "the question stayed, or the window went"
tap 50
# A second start brings the first to the front and ends: one clock takes the Shift keys.
timeout 20 "$ORVELLE" >"$WORK/second.log" 2>&1 || fail "the second start exited with $?: $(cat "$WORK/second.log")"
grep -q 'already running' "$WORK/second.log" || fail "the second start said: $(cat "$WORK/second.log")"
[ "$(orvelle_windows)" = "$known" ] || fail "a second Orvelle window"
click_reset   # between games Escape closes at once
quit_orvelle

pics="$WORK/Bilder für Zoë/"
start_with_camera "$pics" "videotestsrc pattern=smpte ! video/x-raw,width=320,height=240 ! videoconvert ! appsink"
# "Other..." (the last of the time controls), and a control typed with Shift: capitals, not clock presses.
known=$(orvelle_windows)
window_menu 20 30 Down Right Up Return
other=$(new_window "$known") || fail "no Other... dialog"
xdotool windowfocus --sync "$other" type --delay 80 "G/60"
xdotool key Escape
sleep 1
[ -e "${pics}game01move000b.jpg" ] && fail "Shift typed into Other... started a game"
tap 62                                     # start: the starting position, move000b
for k in 50 62 50 62 50; do tap $k; done   # plies 1 to 5
for ply in 000b 001a 001b 002a 002b 003a; do
  wait_for_file "${pics}game01move$ply.jpg"
  [ "$(identify -format '%m %wx%h' "${pics}game01move$ply.jpg")" = "JPEG 320x240" ] || fail "ply $ply: not a 320x240 JPEG"
done
count=$(find "$pics" -type f -name '*.jpg' | wc -l)
[ "$count" -eq 6 ] || fail "expected 6 pictures, found $count"
wait_for_file "${pics}game01.tsv"
[ "$(cut -f 1,3,7 "${pics}game01.tsv" | sed -n '1p;6p' | tr '\t\n' ',,')" = "ply,side,picture,5,left,game01move003a.jpg," ] ||
  fail "game01.tsv: $(tr "\t\n" ",|" < "${pics}game01.tsv")"

click_reset
video="${pics}output.avi"
make_video 5

# The camera's picture is under the clocks, not a window of its own; a key typed into it (clicked at
# the window's foot) closes the camera and nothing else.
[ "$(orvelle_windows)" = "$WINDOW" ] || fail "the camera's picture is in a window of its own"
tap 50
wait_for_file "${pics}game02move000b.jpg"
for k in 62 50 62; do tap $k; done
wait_for_file "${pics}game02move002a.jpg"
eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
xdotool mousemove --window "$WINDOW" $((WIDTH / 2)) $((HEIGHT - 30)) click 1 key q
sleep 0.5
click_reset
make_video 3   # "Take pictures" is no longer ticked: its 3 plies make their 3 frames all the same
tap 62
sleep 1
[ -e "${pics}game03move000b.jpg" ] && fail "a picture after the camera was closed"
click_reset
check_take_pictures
tap 62
wait_for_file "${pics}game04move000b.jpg"   # the clocks went on, and the next game has its camera again
click_reset
quit_orvelle

rm "$video"
env -u DISPLAY "$ORVELLE" --video "$pics" --game 1 > "$WORK/cli.txt" || fail "--video exited with $?"
grep -q '^Video (output.avi) created: 5 frames of 320 x 240' "$WORK/cli.txt" || fail "summary: $(cat "$WORK/cli.txt")"
[ "$(grep -c -- ' --> ' "${pics}output.srt")" = 5 ] || fail "output.srt: $(cat "${pics}output.srt")"
probe=$(ffprobe -v error -count_frames -show_entries stream=nb_read_frames -of csv=p=0 "$video")
[ "$probe" = 5 ] || fail "the command's video has $probe frames, expected 5"
env -u DISPLAY "$ORVELLE" --video "$pics" --game 1 --plies 3 | grep -q 'created: 3 frames' || fail "--plies 3: not 3 frames"
before=$(md5sum < "$video")
# Exit codes (1: no pictures, 2: wrong arguments), each with the arguments after --video FOLDER.
for c in "1 --game 9" "1 --game 0" "2 --game one" "2 --game 1 --plies -1" "2" "2 --game 1 --frames 3"; do
  # shellcheck disable=SC2086
  set -- $c
  got=0 && env -u DISPLAY "$ORVELLE" --video "$pics" "${@:2}" >/dev/null 2>&1 || got=$?
  [ "$got" = "$1" ] || fail "--video $pics ${*:2}: exit code $got, not $1"
done
[ "$(md5sum < "$video")" = "$before" ] || fail "a failed command changed the video"
echo "PASS"

#!/usr/bin/env bash
# A game played on real Shift keys under a real X server, with a camera source that shows the rendered
# positions in step with the presses. Before it the board's corners are clicked on the camera's picture
# ("Board..."). gameNN.pgn is kept beside the pictures as the game goes, and at the end it holds the
# game's moves, valid for pgn-extract, with the clocks, and the mate's result.
#   tst_livescore.sh ORVELLE RENDER_GAME [LOCALE]
# With a LOCALE (de_DE.UTF-8: a decimal comma) the program runs in it, and its files must not care; its
# texts stay English (LANGUAGE), as the keys this script presses are the English texts' Alt keys.
. "$(dirname "$0")/lib.sh"
RENDER=$2
if [ -n "${3:-}" ]; then
  unset LC_ALL
  export LANG=$3 LANGUAGE=en
fi
[ -x $PGN_EXTRACT ] || { echo "SKIP: needs pgn-extract"; exit 77; }

frames="$WORK/frames"
render_frames 2
pics="$WORK/pictures/"
start_with_camera "$pics" \
  "multifilesrc location=$WORK/cur.jpg loop=true caps=image/jpeg,framerate=10/1 ! jpegdec ! videoconvert ! appsink"
sleep 1
# "Board..." from the window's menu, then the outer corners of a1, h1, h8 and a8 clicked on the camera's
# picture, in a window of its own as large as the frames: they become BOARD, and the moves are read with them.
window_menu 20 30 w
preview=$(orvelle_windows | grep -vx "$WINDOW" | head -n 1)
[ -n "$preview" ] || fail "no camera window"
window_menu 20 30 b
read -r -a corner <<<"$(tr ',' ' ' <"$frames/corners.txt")"
for i in 0 2 4 6; do
  x=$(echo "${corner[$i]} * 480 + 0.5" | bc -l)
  y=$(echo "${corner[$((i + 1))]} * 360 + 0.5" | bc -l)
  xdotool mousemove --window "$preview" "${x%.*}" "${y%.*}" click 1
  sleep 0.3
done
conf=$XDG_CONFIG_HOME/Kadrith/Orvelle.conf
wait_until 50 grep -q '^BOARD=' "$conf" || fail "BOARD not written after four clicks: $(cat "$conf")"
[ -n "${SHOT:-}" ] && import -window root "${SHOT%.png}-board.png"
play_frames # White plays on the right
plies=$(wc -l <"$frames/moves.txt")
score="${pics}game01.pgn"
wait_until 600 grep -qs '^\[Result "1-0"\]' "$score" || true # the checks below say what is missing
[ -s "$score" ] || fail "no game01.pgn"
moves=$(moves_of "$score" | tr '\n' ' ')
[ "$moves" = "$(tr '\n' ' ' <"$frames/moves.txt")" ] || fail "moves: $moves; the score: $(cat "$score")"
grep -q '^\[Result "1-0"\]$' "$score" || fail "result: $(cat "$score")"
# Each move's clock: five minutes less a second or two of play.
[ "$(grep -o '\[%clk 0:0[45]:[0-5][0-9]\]' "$score" | wc -l)" = "$plies" ] || fail "clocks: $(cat "$score")"
grep -q '^\[TimeControl "300"\]$' "$score" || fail "TimeControl: $(grep TimeControl "$score")"
[ -n "${SHOT:-}" ] && import -window root "$SHOT"
click_reset
quit_orvelle
echo PASS

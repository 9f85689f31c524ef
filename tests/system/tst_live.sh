#!/usr/bin/env bash
# The game on the network while it is played: the whole program under a real X server, on real Shift keys,
# with a camera source that shows rendered positions in step with the presses and the live server on.
# Headless Chromium then loads the spectator page and the overlay from the running program: their DOM
# must show both clocks, the names typed into "Game details" (capitals typed with Shift, which must not
# press the clock) and the position after the last ply.
#   tst_live.sh ORVELLE RENDER_GAME     (SHOTS=DIR keeps the screenshots there)
. "$(dirname "$0")/lib.sh"
RENDER=$2
command -v chromium >/dev/null || { echo "SKIP: needs chromium"; exit 77; }

frames="$WORK/frames"
render_frames 2
port=$((20000 + $$ % 20000))
pics="$WORK/pictures/"
start_with_camera "$pics" \
  "multifilesrc location=$WORK/cur.jpg loop=true caps=image/jpeg,framerate=10/1 ! jpegdec ! videoconvert ! appsink" \
  "SERVE_PORT=$port" "BOARD=$(cat "$frames/corners.txt")"
base="http://127.0.0.1:$port/"
for _ in $(seq 50); do curl -sf "${base}state.json" >/dev/null 2>&1 && break; sleep 0.1; done

# The players' names, typed into "Game details" (Ctrl+D).
press_in_window ctrl+d
details=$(timeout 5 xdotool search --sync --onlyvisible --name '^Game details$' | head -n 1) || fail "no Game details dialog"
xdotool windowfocus --sync "$details" type --delay 60 "Alice Ames"
xdotool key Tab
xdotool type --delay 60 "Bob Brown"
xdotool key Return
sleep 0.5
play_frames
plies=$(wc -l <"$frames/moves.txt")
wait_until 300 grep -qs '^\[Result "1-0"\]' "${pics}game01.pgn" || true # what follows says what is missing
(tr '\n' ' ' <"$frames/moves.txt"; echo '*') >"$WORK/true.pgn"
fen=$($PGN_EXTRACT -F "$WORK/true.pgn" 2>/dev/null | sed -n 's/^{ "\(.*\)" } \*$/\1/p')
[ -n "$fen" ] || fail "no FEN for the game's end"
bash "$(dirname "$0")/../live/check_live_page.sh" --url "$base" --white "Alice Ames" --black "Bob Brown" \
  --fen "$fen" --shots "${SHOTS:-$WORK/shots}" || fail "the pages do not show the game"
state=$(curl -sf "${base}state.json") || fail "no /state.json"
[[ $state == *"\"lastMove\":\"Qxf7#\""* && $state == *"\"ply\":$plies"* ]] || fail "the state: $state"
curl -sf "${base}games.pgn" | grep -q '^\[White "Alice Ames"\]' || fail "games.pgn: $(curl -s "${base}games.pgn")"
click_reset
quit_orvelle
echo PASS

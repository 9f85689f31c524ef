# Helpers for whole-program tests: Orvelle under the X server that test.sh started, driven by xdotool
# (sourced with NO_DISPLAY=1: the program without a display).
set -euo pipefail

fail() { echo "FAIL: $*" >&2; exit 1; }
[ -n "${DISPLAY:-}${NO_DISPLAY:-}" ] || { echo "SKIP: needs an X server (./test.sh starts one)"; exit 77; }

ORVELLE=$1
WORK=$(mktemp -d)
export XDG_CONFIG_HOME=$WORK/config
ORVELLE_PID=
cleanup() {
  [ -n "$ORVELLE_PID" ] && kill "$ORVELLE_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

# wait_until TENTHS COMMAND...: COMMAND again every tenth of a second until it succeeds, at most TENTHS
# times; fails when it never did.
wait_until() {
  local tries=$1
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}
# absent CAPTION: no visible window's caption matches CAPTION.
absent() { ! xdotool search --onlyvisible --name "$1" >/dev/null; }
# ended PID: the process is no more.
ended() { ! kill -0 "$1" 2>/dev/null; }

# write_settings NAME=VALUE...: the user's settings file, the seven defaults overridden by the arguments.
write_settings() {
  mkdir -p "$XDG_CONFIG_HOME/Kadrith"
  declare -A v=([CAM_REF]=0 [DELAY_TYPE]=0 [DELAY_DELTA]=12 [RESOLUTION_REF]=1 [LTIME]=300 [RTIME]=300 [DIR]="$WORK/pictures/")
  for kv in "$@"; do v[${kv%%=*}]=${kv#*=}; done
  { echo "[General]"; for k in "${!v[@]}"; do echo "$k=${v[$k]}"; done; } > "$XDG_CONFIG_HOME/Kadrith/Orvelle.conf"
}

# start_orvelle: starts the program and waits for its window; WINDOW holds its id.
start_orvelle() {
  (cd "$WORK" && exec "$ORVELLE") > "$WORK/orvelle.log" 2>&1 &
  ORVELLE_PID=$!
  WINDOW=$(timeout 20 xdotool search --sync --onlyvisible --name '^Orvelle$' | head -n 1) || fail "no Orvelle window"
}

# wait_for_splash: until the splash over the window has come and gone (it would take the clicks).
wait_for_splash() {
  timeout 20 xdotool search --sync --onlyvisible --name '^Orvelle[ -](splash|Startbild)$' >/dev/null || fail "no splash"
  wait_until 200 absent '^Orvelle[ -](splash|Startbild)$' || fail "the splash stayed"
}

# start_with_camera FOLDER PIPELINE [NAME=VALUE...]: starts the program with pictures from PIPELINE going
# to FOLDER (and the other settings given), ticks "Take pictures" and waits for the camera to open (it
# makes the folder).
start_with_camera() {
  write_settings "DIR=$1" "CAM_URL=$2" "${@:3}"
  start_orvelle
  wait_for_splash
  check_take_pictures
  wait_until 100 test -d "$1" || fail "the camera did not open (no picture folder made)"
}

# tap KEYCODE: one press and release (50 left Shift, 62 right Shift), numeric so xdotool presses only that key.
tap() { xdotool keydown "$1" keyup "$1"; sleep 0.15; }

# quit_orvelle: closes the window with Escape and expects a clean exit within 15 s (slow sanitizer
# builds included; the program itself waits at most one second for its engine).
quit_orvelle() {
  xdotool windowfocus --sync "$WINDOW" key Escape
  wait_until 150 ended "$ORVELLE_PID" || fail "Orvelle did not exit after Escape"
  wait "$ORVELLE_PID" || fail "Orvelle exited with $?"
  ORVELLE_PID=
}

# press_in_window KEYS: keys to the main window, such as a control's Alt key (its place on the screen
# follows the window's size).
press_in_window() {
  xdotool windowfocus --sync "$WINDOW" key "$@"
  sleep 0.3
}
check_take_pictures() { press_in_window alt+t; }
click_reset() { press_in_window alt+r; }
click_make_video() { press_in_window alt+v; }
# window_menu X Y KEYS...: right-clicks the main window at X, Y and goes through its menu with KEYS.
window_menu() {
  xdotool mousemove --window "$WINDOW" "$1" "$2" click 3
  sleep 0.5
  shift 2
  xdotool key "$@"
  sleep 0.5
}

# orvelle_windows: the visible windows captioned "Orvelle" (the main window, the camera's own window,
# message boxes).
orvelle_windows() { xdotool search --onlyvisible --name '^Orvelle$' || true; }

# new_window KNOWN [TENTHS]: waits up to TENTHS tenths of a second (100) for a window captioned "Orvelle"
# that is not among KNOWN (what orvelle_windows said before it was due), and says its id.
new_window() {
  local w=
  for _ in $(seq "${2:-100}"); do
    w=$(orvelle_windows | grep -vxF "$1" | tail -n 1) || true
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}
# answer_message KNOWN: waits up to 30 s for a message box, a new window captioned "Orvelle", and presses
# Enter in it.
answer_message() {
  local box
  box=$(new_window "$1" 300) || fail "no message box"
  xdotool windowfocus --sync "$box" key Return
}

# render_frames SCENE: the rendered game SCENE as frames in $WORK/frames, and cur.jpg showing its start, for a
# camera source that reads cur.jpg again and again ("multifilesrc location=$WORK/cur.jpg loop=true ...").
render_frames() {
  mkdir -p "$WORK/frames"
  "$RENDER" "$WORK/frames" "$1" overhead 480x360 --frames || fail "could not render the game"
  show 000
}
# show NNN: the camera now sees frame NNN; each position is moved over cur.jpg whole.
show() { cp "$WORK/frames/frame$1.jpg" "$WORK/next.jpg" && mv "$WORK/next.jpg" "$WORK/cur.jpg"; sleep 1; }
# play_frames: Black's start press, then each ply of the rendered game shown and pressed in turn (White,
# on the right, first).
play_frames() {
  tap 50
  local ply
  for ply in $(seq 1 "$(wc -l <"$WORK/frames/moves.txt")"); do
    show "$(printf %03d "$ply")"
    if [ $((ply % 2)) = 1 ]; then tap 62; else tap 50; fi
  done
}

# wait_for_file PATH: up to 10 s.
wait_for_file() {
  wait_until 100 test -s "$1" || fail "$1 was not written"
}

PGN_EXTRACT=/usr/games/pgn-extract
# moves_of FILE: the moves of a PGN file as pgn-extract reads them, one a line; fails on any complaint.
moves_of() {
  $PGN_EXTRACT -s -C -N -V -w1000 --notags -l "$WORK/pgnlog" "$1" >"$WORK/extracted" || fail "pgn-extract failed on $1"
  [ -s "$WORK/pgnlog" ] && fail "pgn-extract on $1: $(cat "$WORK/pgnlog")"
  tr ' ' '\n' <"$WORK/extracted" | grep -vE '^$|^[0-9]+\.|^(1-0|0-1|1/2-1/2|\*)$'
}

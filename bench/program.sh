#!/usr/bin/env bash
# The running program's costs, measured from outside (its start-up: bench/startup.sh): CPU
# time (user + sys over wall) over 20 s while the clocks wait, while a game runs, and while the
# camera preview runs at 640 x 480 (a live 30 fps GStreamer test source, whose own generation of
# the frames is counted too). Then a game in its last ten seconds, where the clock shows tenths.
# Usage: bench/program.sh [build/default/app/orvelle]   (needs an X server: xvfb-run -a bench/program.sh)
set -euo pipefail
orvelle=$(realpath "${1:-build/default/app/orvelle}")
seconds=${SECONDS_PER_PHASE:-20}
work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
cpu_share() { # pid seconds: percent of one core
  local t0 w0 t1 w1 hz
  hz=$(getconf CLK_TCK)
  t0=$(ticks "$1"); w0=$(date +%s.%N)
  sleep "$2"
  t1=$(ticks "$1"); w1=$(date +%s.%N)
  echo "scale=2; 100 * ($t1 - $t0) / $hz / ($w1 - $w0)" | bc
}

# write_settings LINE: the user's settings, the seven defaults (pictures in the scratch folder) and LINE.
write_settings() {
  mkdir -p "$XDG_CONFIG_HOME/Kadrith"
  printf '[General]\nCAM_REF=0\nDELAY_TYPE=0\nDELAY_DELTA=12\nRESOLUTION_REF=1\nLTIME=300\nRTIME=300\nDIR=%s\n%s\n' \
    "$work/pictures/" "$1" > "$XDG_CONFIG_HOME/Kadrith/Orvelle.conf"
}

"$orvelle" >/dev/null 2>&1 &
pid=$!
xdotool search --sync --onlyvisible --name '^Orvelle$' >/dev/null
sleep 2 # past the splash
share=$(cpu_share $pid "$seconds")
echo "CPU while waiting: $share% of one core (target: at most 1%)"
echo "row: CPU while the clocks wait | $share % of a core | at most 1 % | |"
xdotool keydown 50 keyup 50
share=$(cpu_share $pid "$seconds")
echo "CPU while a game runs: $share% of one core (target: at most 2%)"
echo "row: CPU while a game runs | $share % of a core | at most 2 % | |"
kill $pid; wait $pid 2>/dev/null || true

write_settings "TIME_CONTROL=10"
"$orvelle" >/dev/null 2>&1 &
pid=$!
xdotool search --sync --onlyvisible --name '^Orvelle$' >/dev/null
sleep 2
xdotool keydown 50 keyup 50 # a ten-second clock: tenths from the start
share=$(cpu_share $pid 9)
echo "CPU while a game runs with tenths shown: $share% of one core (target: at most 2%)"
echo "row: CPU while a game runs, tenths shown | $share % of a core | at most 2 % | |"
kill $pid; wait $pid 2>/dev/null || true

write_settings "CAM_URL=videotestsrc is-live=true ! video/x-raw,width=640,height=480,framerate=30/1 ! videoconvert ! appsink"
"$orvelle" >/dev/null 2>&1 &
pid=$!
window=$(xdotool search --sync --onlyvisible --name '^Orvelle$' | head -n 1)
sleep 2
width=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
xdotool mousemove --window "$window" $((width - 110)) 20 click 1 # "Take pictures"
sleep 2
share=$(cpu_share $pid "$seconds")
echo "CPU with the preview at 640 x 480: $share% of one core (target: at most 15%)"
echo "row: CPU with the camera preview at 640 x 480 | $share % of a core | at most 15 % | |"

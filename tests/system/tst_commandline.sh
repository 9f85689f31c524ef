#!/usr/bin/env bash
# The command line with no display at all: help and version, a clear refusal of what it does not know,
# and --settings putting the settings in the file it names rather than in the user's.
NO_DISPLAY=1 . "$(dirname "$0")/lib.sh"
set +e # the exit codes are the test's

# expect CODE 'ARGS' PATTERN STREAM: the exit code, and PATTERN found in stdout or stderr.
expect() {
  local code=$1 args=$2 pattern=$3 stream=$4
  # shellcheck disable=SC2086
  timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$ORVELLE" $args >"$WORK/out" 2>"$WORK/err"
  local got=$?
  [ "$got" -eq "$code" ] || fail "orvelle $args: exit $got, not $code ($(cat "$WORK/err"))"
  grep -qE -- "$pattern" "$WORK/$stream" || fail "orvelle $args: '$pattern' not in $stream: $(cat "$WORK/$stream")"
}
expect 0 "--help" "--settings <FILE>" out
expect 0 "-h" "--version" out
expect 0 "--help" "default: the last in the game's" out # as the README says
expect 0 "--version" "^Orvelle [0-9]+(\.[0-9]+)+$" out
expect 2 "--bogus" "Unknown option 'bogus'" err
expect 2 "--settings" "Missing value after '--settings'" err
expect 2 "--settings /" "needs a file" err
expect 2 "stray" "Unexpected argument 'stray'" err
expect 1 "" "needs a desktop" err
[ -e "$XDG_CONFIG_HOME" ] && fail "a refused command line left settings behind"

# --settings FILE: the first run writes its defaults there and nowhere else.
QT_QPA_PLATFORM=offscreen "$ORVELLE" --settings "$WORK/club/board2.conf" >"$WORK/log" 2>&1 &
ORVELLE_PID=$!
for _ in $(seq 100); do [ -s "$WORK/club/board2.conf" ] && break; sleep 0.1; done
grep -q '^LTIME=300$' "$WORK/club/board2.conf" || fail "no defaults in the --settings file"
[ -e "$XDG_CONFIG_HOME" ] && fail "--settings also wrote the user's settings"
# --video never puts an empty video over a good one: a first picture cut short, or no ply, leaves
# output.avi and output.srt as they were, and says so with exit code 1.
vid=$WORK/video
mkdir "$vid"
for ply in 001a 001b 002a 002b 003a; do convert -size 160x120 xc:gray "$vid/game01move$ply.jpg"; done
echo "a good video" >"$vid/output.avi"
echo "its subtitles" >"$vid/output.srt"
old=$(cat "$vid/output.avi" "$vid/output.srt" | md5sum)
cp "$vid/game01move001a.jpg" "$WORK/first.jpg"
head -c 200 "$WORK/first.jpg" >"$vid/game01move001a.jpg"
expect 1 "--video $vid --game 1" "Can't find game01move001a.jpg" err
cp "$WORK/first.jpg" "$vid/game01move001a.jpg"
expect 1 "--video $vid --game 1 --plies 0" "Game 1 has no ply to show: no video was made" err
[ "$(cat "$vid/output.avi" "$vid/output.srt" | md5sum)" = "$old" ] || fail "an empty video replaced the last one"
# The game's record ends it: the pictures after its last ply are an earlier, longer game's.
printf 'ply\tmover\tside\tused\tleft\tright\tpicture\tflag\n' >"$vid/game01.tsv"
for p in 1 2 3; do printf '%d\twhite\tleft\t1.000\t2.000\t3.000\tx.jpg\t0\n' $p >>"$vid/game01.tsv"; done
expect 0 "--video $vid --game 1" "created: 3 frames" out

# Without its media plugin the program says what is missing rather than crash.
mkdir "$WORK/bin" && cp "$ORVELLE" "$WORK/bin/"
ORVELLE=$WORK/bin/orvelle expect 1 "--video $WORK --game 1" "Cannot load .*media.so" err
echo PASS

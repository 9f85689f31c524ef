#!/usr/bin/env bash
# orvelle --pgn on rendered games whose moves are known, with no display at all: the score it writes
# must be valid PGN (pgn-extract checks it), hold the game's moves with the record's clocks, and the
# exit codes must say what went wrong.
#   tst_pgn.sh ORVELLE RENDER_GAME
NO_DISPLAY=1 . "$(dirname "$0")/lib.sh"
set +e # the exit codes are the test's
RENDER=$2
[ -x $PGN_EXTRACT ] || { echo "SKIP: needs pgn-extract"; exit 77; }

# pgn DIR ARGS...: runs orvelle --pgn DIR --game 1 ARGS without a display; its exit code in CODE.
pgn() {
  local dir=$1
  shift
  timeout 120 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$ORVELLE" --pgn "$dir" --game 1 "$@" \
    >"$WORK/out" 2>"$WORK/err"
  CODE=$?
}
# render NAME SCENE VIEW: a rendered game in $WORK/NAME/.
render() {
  mkdir -p "$WORK/$1"
  "$RENDER" "$WORK/$1" "$2" "$3" 640x480 || fail "could not render scene $2"
}

# Castling, en passant and captures seen from above; the board found on the starting position; the time
# control from the presets of a --settings file.
render above 0 overhead
printf '[General]\nCAM_REF=0\nRESOLUTION_REF=1\nDIR=\nLTIME=180\nRTIME=180\nDELAY_TYPE=1\nDELAY_DELTA=2\n' >"$WORK/club.conf"
pgn "$WORK/above/" --settings "$WORK/club.conf"
[ $CODE = 0 ] || fail "--pgn exited with $CODE: $(cat "$WORK/err")"
plies=$(wc -l <"$WORK/above/moves.txt")
# An earlier, longer game 1 left a later picture: the record says where this game ends.
cp "$WORK/above/game01move001a.jpg" "$WORK/above/game01move011a.jpg"
[ "$(grep -c '^[0-9]' "$WORK/out")" = "$plies" ] || fail "not one line per ply: $(cat "$WORK/out")"
grep -q "^1\. e4$" "$WORK/out" && grep -q "^3\.\.\. Nxf6$" "$WORK/out" || fail "ply lines: $(head -6 "$WORK/out")"
grep -qE "^game01.pgn written: $plies plies, [0-2] uncertain, result \*$" "$WORK/out" || fail "summary: $(tail -1 "$WORK/out")"
# The corners found are printed as --board takes them, and given back they read the same game.
found=$(sed -n 's/^The board, found on game01move000b.jpg: --board //p' "$WORK/out")
[ -n "$found" ] || fail "no corners printed: $(head -3 "$WORK/out")"
score="$WORK/above/game01.pgn"
[ "$(moves_of "$score" | tr '\n' ' ')" = "$(tr '\n' ' ' <"$WORK/above/moves.txt")" ] ||
  fail "moves differ: $(moves_of "$score" | tr '\n' ' ')"
# The record's clocks: White used 2 s on ply 1 and 4 s on ply 3, Black 3 s on ply 2.
grep -q '^1\. e4 {\[%clk 0:04:58\] \[%emt 0:00:02\]} 1\.\.\. d5 {\[%clk 0:04:57\] \[%emt 0:00:03\]}' "$score" ||
  fail "clocks: $(sed -n '/^1\./p' "$score")"
grep -q '^\[TimeControl "180+2"\]$' "$score" || fail "TimeControl: $(grep TimeControl "$score")"
grep -q "^\[Date \"$(date -r "$WORK/above/game01move000b.jpg" +%Y.%m.%d)\"\]$" "$score" || fail "Date: $(grep Date "$score")"

# A new reading keeps what the score written during the game knew and the pictures cannot tell again: a
# move a player chose by hand, the flag the clock saw fall, and the time control the clocks were set to.
cp -r "$WORK/above" "$WORK/notes"
sed -i 's/^\[TimeControl .*/[TimeControl "600"]/; s/^1\. e4 {\([^}]*\)}/1. e3 {\1} {chosen by hand}/; s/ \*$/ {Black'"'"'s flag fell} */' \
  "$WORK/notes/game01.pgn"
grep -q '{chosen by hand}' "$WORK/notes/game01.pgn" || fail "the test could not mark a move: $(head -12 "$WORK/notes/game01.pgn")"
pgn "$WORK/notes/"
[ $CODE = 2 ] && fail "--pgn over a score of its own: $(cat "$WORK/err")"
notes="$WORK/notes/game01.pgn"
grep -q '^1\. e3 {\[%clk 0:04:58\] \[%emt 0:00:02\]} {chosen by hand}' "$notes" || fail "the chosen move: $(sed -n '/^1\./p' "$notes")"
grep -q "{Black's flag fell}" "$notes" && grep -q '^\[TimeControl "600"\]$' "$notes" || fail "the notes: $(cat "$notes")"
moves_of "$notes" >/dev/null
pgn "$WORK/notes/" --board "$found"
grep -qxF "The board: --board $found" "$WORK/out" && grep -q '^1\. e3 ' "$WORK/notes/game01.pgn" ||
  fail "the corners given back: $(head -3 "$WORK/out")"

# A mate seen from the side, with the corners given: the result is the mate's.
render side 2 side
pgn "$WORK/side" --board "$(cat "$WORK/side/corners.txt")"
[ $CODE = 0 ] || fail "--pgn --board exited with $CODE: $(cat "$WORK/err")"
grep -q '^\[Result "1-0"\]$' "$WORK/side/game01.pgn" || fail "no 1-0 after the mate: $(cat "$WORK/side/game01.pgn")"
[ "$(moves_of "$WORK/side/game01.pgn" | tr '\n' ' ')" = "$(tr '\n' ' ' <"$WORK/side/moves.txt")" ] ||
  fail "side view: $(moves_of "$WORK/side/game01.pgn" | tr '\n' ' ')"
# BOARD from the settings does the same; a BOARD that is no board is said and the board looked for.
printf '[General]\nBOARD=%s\n' "$(cat "$WORK/side/corners.txt")" >"$WORK/board.conf"
rm "$WORK/side/game01.pgn"
pgn "$WORK/side" --settings "$WORK/board.conf"
[ $CODE = 0 ] && [ -s "$WORK/side/game01.pgn" ] || fail "BOARD from --settings: $CODE $(cat "$WORK/err")"
grep -q TimeControl "$WORK/side/game01.pgn" && fail "a TimeControl from clocks that are not in the settings"
grep -q 'eight fractions' "$WORK/err" && fail "a good BOARD called bad: $(cat "$WORK/err")"
printf '[General]\nBOARD=0.1,0.2\n' >"$WORK/bad.conf"
pgn "$WORK/above/" --settings "$WORK/bad.conf"
[ $CODE = 0 ] && grep -q "BOARD setting '0.1,0.2' is not eight fractions" "$WORK/err" || fail "a bad BOARD: $CODE $(cat "$WORK/err")"

# Exit codes, and nothing written when nothing can be read.
pgn "$WORK/above" --board 0.1,0.1,0.9
[ $CODE = 2 ] && grep -q 'eight fractions' "$WORK/err" || fail "a bad --board: $CODE $(cat "$WORK/err")"
for args in "--pgn $WORK/above --game one" "--pgn $WORK/above --game -1" "--pgn $WORK/above --game 1 --plies 3" \
  "--pgn $WORK/nowhere --game 1"; do
  # shellcheck disable=SC2086
  timeout 20 env -u DISPLAY "$ORVELLE" $args >/dev/null 2>&1
  [ $? = 2 ] || fail "orvelle $args is not exit code 2"
done
pgn ""
[ $CODE = 2 ] || fail "an empty folder name: $CODE"
mkdir "$WORK/empty"
pgn "$WORK/empty"
[ $CODE = 1 ] && grep -q "Can't find game01move000b.jpg" "$WORK/err" || fail "no pictures: $CODE $(cat "$WORK/err")"
[ -e "$WORK/empty/game01.pgn" ] && fail "a PGN written without pictures"
# A starting picture that shows no board.
convert -size 640x480 xc:gray "$WORK/empty/game01move000b.jpg"
pgn "$WORK/empty"
[ $CODE = 1 ] && grep -q "No board can be seen" "$WORK/err" || fail "no board: $CODE $(cat "$WORK/err")"
# A picture lost mid-game: the score ends before it, and that is not a success.
rm "$WORK/above/game01move003a.jpg"
pgn "$WORK/above/"
[ $CODE = 1 ] && grep -q "game01move003a.jpg is missing" "$WORK/err" || fail "a lost picture: $CODE $(cat "$WORK/err")"
[ "$(moves_of "$score" | wc -l)" = 4 ] || fail "the score before the lost picture: $(moves_of "$score" | tr '\n' ' ')"
echo PASS

#!/usr/bin/env bash
# Loads Orvelle's spectator page and overlay in headless Chromium and checks what their DOM shows after
# load: both clocks, the players' names and the position after the last ply.
#   check_live_page.sh --url BASE --white NAME --black NAME --fen FEN [--shots DIR]
# BASE is the server's address ("http://127.0.0.1:8080/"); FEN the position's FEN, or its board part.
# With --shots, screenshots go there: page.png (desktop), phone.png, overlay.png (clocks, names, board,
# on a transparent ground) and clocks.png (the overlay's clocks alone).
# Exits with 0 when all is shown, 1 when something is not (said on stderr), 2 for wrong arguments and
# 77 without Chromium.
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
usage() { echo "usage: $0 --url BASE --white NAME --black NAME --fen FEN [--shots DIR]" >&2; exit 2; }
url= white= black= fen= shots=
while [ $# -gt 0 ]; do
  [ $# -ge 2 ] || usage
  case $1 in
    --url) url=${2%/} ;; --white) white=$2 ;; --black) black=$2 ;; --fen) fen=${2%% *} ;; --shots) shots=$2 ;;
    *) usage ;;
  esac
  shift 2
done
[ -n "$url" ] && [ -n "$white" ] && [ -n "$black" ] && [ -n "$fen" ] || usage
command -v chromium >/dev/null || { echo "SKIP: needs chromium (scripts/deps.sh installs it)"; exit 77; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
# Headless, as root too, and quiet: nothing but the page is fetched.
chrome() {
  timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$(mktemp -d -p "$WORK")" --hide-scrollbars "$@" 2>>"$WORK/chromium.log"
}

# texts CLASS DOM: the text of each element of that class, one a line, as the page shows it.
texts() {
  { grep -o "class=\"$1\">[^<]*" "$2" || true; } |
    sed -e 's/^[^>]*>//' -e 's/&lt;/</g; s/&gt;/>/g; s/&nbsp;/ /g; s/&amp;/\&/g'
}

# placement DOM: the board part of a FEN, from the pieces drawn on the board.
placement() {
  declare -A at=()
  local square piece rank file out=
  while read -r square piece; do at[$square]=$piece; done < <(
    { grep -o 'data-square="[a-h][1-8]" data-piece="[pnbrqkPNBRQK]"' "$1" || true; } |
      sed -E 's/data-square="(..)" data-piece="(.)"/\1 \2/')
  for rank in 8 7 6 5 4 3 2 1; do
    for file in a b c d e f g h; do out+=${at[$file$rank]:-1}; done # an empty square a 1
    [ $rank -gt 1 ] && out+=/
  done
  sed -E 's/1{8}/8/g; s/1{7}/7/g; s/1{6}/6/g; s/1{5}/5/g; s/1{4}/4/g; s/1{3}/3/g; s/11/2/g' <<<"$out" # runs of 1 counted
}

# check PATH PARTS: the page at PATH shows the parts named (clocks, names, board) and no others.
check() {
  local dom="$WORK/dom.html" clocks names board want=0 position=8/8/8/8/8/8/8/8
  chrome --dump-dom "$url$1" >"$dom" || fail "Chromium could not load $url$1: $(tail -n 3 "$WORK/chromium.log")"
  grep -q 'id="live"' "$dom" || fail "$1 is not Orvelle's page: $(head -c 300 "$dom")"
  clocks=$(texts clock "$dom" | grep -cE '^[0-9]+:[0-9]{2}(:[0-9]{2}|\.[0-9])?$' || true)
  names=$(texts name "$dom")
  board=$(placement "$dom")
  [[ ,$2, == *,clocks,* ]] && want=2
  [ "$clocks" -eq $want ] || fail "$1 shows $clocks clocks, not $want: $(texts clock "$dom" | tr '\n' '|')"
  if [[ ,$2, == *,names,* ]]; then
    grep -qxF -- "$white" <<<"$names" || fail "$1 does not show White's name $white: $names"
    grep -qxF -- "$black" <<<"$names" || fail "$1 does not show Black's name $black: $names"
  else
    [ -z "$names" ] || fail "$1 shows names it was not asked for: $names"
  fi
  [[ ,$2, == *,board,* ]] && position=$fen
  [ "$board" = "$position" ] || fail "$1 shows the position $board, not $position"
}

check / clocks,names,board
check "/overlay?parts=clocks,names,board" clocks,names,board
check "/overlay?parts=clocks" clocks
check /overlay clocks,names
if [ -n "$shots" ]; then
  mkdir -p "$shots"
  chrome --screenshot="$shots/page.png" --window-size=1280,800 "$url/"
  chrome --screenshot="$shots/phone.png" --window-size=390,844 "$url/"
  chrome --screenshot="$shots/overlay.png" --window-size=1280,720 --default-background-color=00000000 \
    "$url/overlay?parts=clocks,names,board"
  chrome --screenshot="$shots/clocks.png" --window-size=800,200 --default-background-color=00000000 \
    "$url/overlay?parts=clocks,names"
  for shot in page phone overlay clocks; do [ -s "$shots/$shot.png" ] || fail "no screenshot $shot.png"; done
fi
echo "PASS: $url shows both clocks, the names and the position"

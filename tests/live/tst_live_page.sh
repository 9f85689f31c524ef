#!/usr/bin/env bash
# The spectator page and the overlay in headless Chromium, served with the demo's fixed game in progress:
# the DOM after load shows both clocks, the names and the position after the last ply.
#   tst_live_page.sh LIVE_DEMO      (SHOTS=DIR keeps the screenshots there)
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
DEMO=$1
command -v chromium >/dev/null || { echo "SKIP: needs chromium (scripts/deps.sh installs it)"; exit 77; }
WORK=$(mktemp -d)
"$DEMO" 0 >"$WORK/demo" 2>&1 &
demo=$!
trap 'kill $demo 2>/dev/null || true; rm -rf "$WORK"' EXIT
for _ in $(seq 100); do
  grep -q '^ply=' "$WORK/demo" && break
  kill -0 $demo 2>/dev/null || fail "the demo ended: $(cat "$WORK/demo")"
  sleep 0.1
done
value() { sed -n "s/^$1=//p" "$WORK/demo"; }
[ -n "$(value url)" ] || fail "the demo did not say where it serves: $(cat "$WORK/demo")"
bash "$(dirname "$0")/check_live_page.sh" --url "$(value url)" --white "$(value white)" \
  --black "$(value black)" --fen "$(value fen)" --shots "${SHOTS:-$WORK/shots}"

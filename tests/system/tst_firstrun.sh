#!/usr/bin/env bash
# The whole program on a machine where it has never run: it writes its settings, shows its window,
# plays on real Shift keys and closes cleanly.
. "$(dirname "$0")/lib.sh"

start_orvelle
conf=$XDG_CONFIG_HOME/Kadrith/Orvelle.conf
[ -f "$conf" ] || fail "no settings file written"
for k in CAM_REF DELAY_TYPE DELAY_DELTA RESOLUTION_REF LTIME RTIME DIR; do
  grep -q "^$k=" "$conf" || fail "$k missing from $conf"
done
grep -q '^LTIME=300$' "$conf" || fail "LTIME default"
grep -q '^DIR=.*/Orvelle/$' "$conf" || fail "DIR default"
grep -q 'Cannot find settings' "$WORK/orvelle.log" && fail "settings message on first run"

tap 50   # Black starts White's clock
tap 62
tap 50
quit_orvelle
echo "PASS"

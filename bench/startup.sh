#!/usr/bin/env bash
# Start-up time of the program against a bare Qt Widgets dialog, under a private Xvfb: from the start of
# the process to its main window mapped (and to its splash, mapped just before it), each program started
# RUNS times (10 by default) in turn, medians and their ratio (target: at most 1.3), the shared libraries each loads at start, and resident memory.
# The program starts as on first use (a fresh settings file each time, which it writes), so no camera is on;
# "again" is the program started with the settings it wrote before, as at every start after the first.
# Between the dialog and the program, the same dialog with one line of text: what any window with a text
# pays (the font database, the accessibility bridge).
# Usage: bench/startup.sh [RUNS]   (after a build of the default preset)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/default
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
unset QT_QPA_PLATFORM
for exe in bench/bench_bare_dialog app/orvelle; do
  echo "$(basename $exe): $(ldd $build/$exe | wc -l) shared libraries"
done
bare=$PWD/$build/bench/bench_bare_dialog
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" $build/bench/bench_startup "${1:-10}" \
  dialog "$bare" text "$bare 00:00" orvelle "$PWD/$build/app/orvelle --settings $work/{run}.conf" \
  again "$PWD/$build/app/orvelle --settings $work/again.conf"

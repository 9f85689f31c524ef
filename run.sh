#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
# Said before anything is installed or built, which takes minutes on a fresh machine. With arguments
# it goes on: --video, --pgn, --help and --version need no window.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  if [ $# -eq 0 ]; then
    echo "Orvelle needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set." >&2
    exit 1
  fi
  echo "No DISPLAY or WAYLAND_DISPLAY is set: only --video, --pgn, --help and --version work." >&2
fi
. scripts/deps.sh
orvelle_install_packages $orvelle_build_packages
# The program alone, with what it loads at run time (the media plugin; the translations are built into
# it) and its manual page, so that `cmake --install build/default` works after it: the tests and the
# benchmarks are test.sh's, and would take most of the time.
orvelle_build default orvelle orvelle_docs
exec build/default/app/orvelle "$@"

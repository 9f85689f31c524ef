#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite headless.
# Optional: PRESET=asan ./test.sh, or ctest arguments such as ./test.sh -L unit
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
orvelle_install_packages $orvelle_build_packages $orvelle_test_packages
orvelle_make_locale de_DE.UTF-8
preset=${PRESET:-default}
orvelle_build "$preset"
# Tests that need an X server get a private Xvfb; the rest use Qt's offscreen platform. -noreset: by
# default the server resets whenever its last client leaves, and a program that connects during the reset
# fails with "could not connect to display", so tests that start programs one after another were flaky.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" \
  ctest --preset "$preset" --output-on-failure -j "$(nproc)" "$@"

#!/usr/bin/env bash
# Installs what is missing, builds Orvelle and makes the Debian package build/package/orvelle_VERSION_ARCH.deb.
# Install it with: sudo apt-get install ./build/package/orvelle_*.deb
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
orvelle_install_packages $orvelle_build_packages $orvelle_package_packages
orvelle_build default
rm -f build/package/orvelle_*.deb
mkdir -p build/package
cpack --config build/default/CPackConfig.cmake -B build/package >build/package/cpack.log 2>&1 ||
  { cat build/package/cpack.log >&2; exit 1; }
ls build/package/orvelle_*.deb

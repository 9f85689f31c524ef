#!/usr/bin/env bash
# Installs what is missing, builds and starts Orvelle.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
orvelle_install_packages $orvelle_build_packages
orvelle_build default
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Orvelle needs a desktop: no DISPLAY or WAYLAND_DISPLAY is set." >&2
  exit 1
fi
exec build/default/app/orvelle "$@"

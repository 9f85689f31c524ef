# Sourced by run.sh and test.sh: installs the Debian packages Orvelle needs, or says how.
# Making the Debian package and checking it (package.sh, the package test).
orvelle_package_packages="dpkg-dev file desktop-file-utils appstream lintian"
orvelle_build_packages="cmake make g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libopencv-dev libx11-dev libxi-dev fonts-dejavu-core libavformat-dev libavcodec-dev libavutil-dev"
orvelle_test_packages="xvfb xauth xdotool bc gstreamer1.0-plugins-base gstreamer1.0-plugins-good ffmpeg imagemagick pgn-extract povray povray-includes $orvelle_package_packages"

# orvelle_install_packages PACKAGE... : installs the packages that are missing.
orvelle_install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Orvelle needs these Debian packages: ${missing[*]}" >&2
    echo "Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    return 1
  fi
  echo "Installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q >/dev/null && apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
}

# orvelle_build PRESET : configures and builds into build/PRESET.
orvelle_build() {
  cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j "$(nproc)"
}

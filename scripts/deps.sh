# Sourced by run.sh and test.sh: installs the Debian packages Orvelle needs, or says how.
# Making the Debian package and checking it (package.sh, the package test).
orvelle_package_packages="dpkg-dev file desktop-file-utils appstream lintian"
# qt6-websockets-dev: Qt HTTP Server's CMake files need it, though its package does not say so.
# gstreamer1.0-plugins-base and gstreamer1.0-libav: the decoders of common video files and streams as the
# camera's source (run.sh runs what it builds); libgstreamer1.0-dev: a failed pipeline's own error.
orvelle_build_packages="cmake make g++ pkg-config qt6-base-dev qt6-qpa-plugins qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n libopencv-dev libx11-dev libxi-dev fonts-dejavu-core libavformat-dev libavcodec-dev libavutil-dev qt6-websockets-dev qt6-httpserver-dev libgstreamer1.0-dev gstreamer1.0-plugins-base gstreamer1.0-libav"
orvelle_test_packages="curl locales xvfb xauth xdotool bc gstreamer1.0-plugins-base gstreamer1.0-plugins-good ffmpeg imagemagick pgn-extract chromium povray povray-includes $orvelle_package_packages"

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

# orvelle_make_locale NAME : generates a locale the tests run under (de_DE.UTF-8: a decimal comma).
orvelle_make_locale() {
  locale -a 2>/dev/null | grep -qix "$(echo "$1" | sed 's/UTF-8/utf8/')" && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "The tests need the locale $1: sudo localedef -i ${1%%.*} -f UTF-8 $1" >&2
    return 1
  fi
  localedef -i "${1%%.*}" -f UTF-8 "$1"
}

# orvelle_build PRESET [TARGET...] : configures and builds into build/PRESET, everything or the targets.
orvelle_build() {
  local preset=$1
  shift
  cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$(nproc)" ${1:+--target "$@"}
}

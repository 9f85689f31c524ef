#!/usr/bin/env bash
# The Debian package of this build: made by CPack, unpacked into a scratch root (no root rights, nothing
# installed on the system), its launcher, metainfo, icons and manual page checked as installed, the
# program started from where the package puts it, and lintian run over the package.
set -euo pipefail
BUILD=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK" >"$WORK/cpack.log" 2>&1 || { cat "$WORK/cpack.log"; fail "cpack"; }
deb=$(echo "$WORK"/orvelle_*.deb)
[ -f "$deb" ] || fail "no orvelle_*.deb made"
root=$WORK/root
dpkg -x "$deb" "$root"
share=$root/usr/share

desktop=$share/applications/example.kadrith.Orvelle.desktop
metainfo=$share/metainfo/example.kadrith.Orvelle.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
# The licence, said alike wherever it is said.
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "the metainfo's licence"
grep -q '^License: GPL-3+$' "$share/doc/orvelle/copyright" || fail "the copyright file's licence"
# The manual, where the program's "Manual" buttons look for it from /usr/bin.
[ -f "$share/doc/orvelle/README.md" ] || fail "no README.md in the package's doc folder"

version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/orvelle" --version) ||
  fail "the installed orvelle --version"
[[ $version =~ ^Orvelle\ ([0-9.]+)$ ]] || fail "version text '$version'"
v=${BASH_REMATCH[1]}
[ "$(dpkg-deb -f "$deb" Version)" = "$v" ] || fail "package version is not $v"
grep -q "<release version=\"$v\"" "$metainfo" || fail "no release entry for $v in the metainfo"
# The installed program finds its media plugin: --video gets as far as looking for the pictures.
err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/orvelle" --video "$WORK" --game 1 2>&1) &&
  fail "a video made of no pictures"
[[ $err == *"Can't find"* ]] || fail "the installed orvelle --video: $err"
zcat "$share/man/man1/orvelle.1.gz" | grep -q "^\.TH ORVELLE 1 .*\"Orvelle $v\"" || fail "manual page not of $v"
zcat "$share/man/man1/orvelle.1.gz" | grep -q -- '-\\-settings' || fail "manual page without --settings"

# The launcher starts what was installed, with an icon in every size.
[ -x "$root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")" ] || fail "Exec names no installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon"
for s in 16 22 24 32 48 64 128 256; do
  file "$share/icons/hicolor/${s}x$s/apps/$icon.png" | grep -q "PNG image data, $s x $s," || fail "no $s px icon"
done

# Qt's platform plugins are loaded at run time, out of dpkg-shlibdeps' sight; Orvelle's own is in the package.
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libopencv-videoio libavformat qt6-qpa-plugins; do
  [[ $depends == *"$p"* ]] || fail "Depends lacks $p: $depends"
done
lint=$(lintian --fail-on error,warning "$deb" 2>&1) || { echo "$lint"; fail "lintian reports errors or warnings"; }
echo "$lint" | grep -v 'running with root privileges' || true
echo PASS

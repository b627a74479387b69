#!/usr/bin/env bash
# Installs the build into a temporary prefix and builds the Debian package,
# then checks what a user's machine would get.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for program in zelk20 zelk20ctl zelk20-sim; do
  [ -x "$work/prefix/bin/$program" ] || fail "bin/$program missing"
done
desktop=$work/prefix/share/applications/zelk20.desktop
icon=$work/prefix/share/icons/hicolor/scalable/apps/zelk20.svg
[ -f "$desktop" ] || fail "no desktop entry"
[ -f "$icon" ] || fail "no icon"
desktop-file-validate "$desktop" || fail "desktop entry not valid"
grep -qx 'Exec=zelk20' "$desktop" || fail "desktop entry does not start zelk20"
grep -qx 'Icon=zelk20' "$desktop" || fail "desktop entry does not name the icon"
grep -q '<svg' "$icon" || fail "icon is not SVG"
# The installed companion runs on its own.
"$work/prefix/bin/zelk20ctl" --help | grep -q '^Exit codes' || fail "installed zelk20ctl --help"

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >/dev/null
deb=$(ls "$work"/package/zelk20_*.deb)
contents=$(dpkg-deb -c "$deb")
for path in ./usr/bin/zelk20 ./usr/bin/zelk20ctl ./usr/bin/zelk20-sim ./usr/share/applications/zelk20.desktop \
            ./usr/share/icons/hicolor/scalable/apps/zelk20.svg ./usr/share/doc/zelk20/copyright; do
  grep -q " $path\$" <<<"$contents" || fail "package lacks $path"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6svgwidgets6 libqcustomplot2.1-qt6 libstdc++6; do
  grep -q "$library" <<<"$depends" || fail "package does not depend on $library: $depends"
done
echo "install check: $(basename "$deb"), Depends: $depends"

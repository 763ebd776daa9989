#!/bin/sh
# Usage: PackageTest.sh BUILD_DIR VERSION
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack -G DEB --config "$1/CPackConfig.cmake" -B "$tmp/out" >"$tmp/log" 2>&1 || { cat "$tmp/log"; fail cpack; }
deb=$(ls "$tmp"/out/tintwell_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends lacks the Qt libraries"
dpkg-deb -x "$deb" "$tmp/root"
usr=$tmp/root/usr share=$tmp/root/usr/share
for f in bin/tintwell bin/tintwell-cli share/tintwell/Tintwell.html share/man/man1/tintwell.1.gz \
         share/man/man1/tintwell-cli.1.gz share/bash-completion/completions/tintwell-cli \
         share/icons/hicolor/scalable/apps/tintwell.svg share/doc/tintwell/copyright; do
  [ -e "$usr/$f" ] || fail "missing /usr/$f"
done
grep -qx 'Exec=tintwell %f' "$share/applications/tintwell.desktop" || fail "desktop entry"

# Both programs run from the unpacked root and answer without a display.
nodisplay="env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"
[ "$($nodisplay "$usr/bin/tintwell" --version)" = "Tintwell $2" ] || fail "tintwell --version"
$nodisplay "$usr/bin/tintwell" --help | grep -q 'FOLDER | FILE.bmp' || fail "tintwell --help"
[ "$("$usr/bin/tintwell-cli" --version)" = "tintwell-cli $2" ] || fail "tintwell-cli --version"

# A recolour with the packaged CLI changes the image and keeps a backup.
mkdir "$tmp/art" && cp "$share/tintwell/sample-tiles.bmp" "$tmp/art/a.bmp"
"$usr/bin/tintwell-cli" recolor --pairs 1-255:0-254 --backup -q "$tmp/art/a.bmp" || fail recolor
cmp -s "$tmp/art/a.bmp" "$share/tintwell/sample-tiles.bmp" && fail "recolor changed nothing"
cmp -s "$tmp/art/Tintwell Backup/a.bmp" "$share/tintwell/sample-tiles.bmp" || fail backup

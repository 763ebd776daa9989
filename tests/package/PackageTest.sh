#!/bin/bash
# Usage: PackageTest.sh BUILD_DIR VERSION APP_ID
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
build=$1 version=$2 id=$3

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/log" 2>&1 || { cat "$tmp/log"; fail cpack; }
deb=$(ls "$tmp"/out/tintwell_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends lacks the Qt libraries"
dpkg-deb -x "$deb" "$tmp/root"
usr=$tmp/root/usr share=$tmp/root/usr/share
for f in bin/tintwell bin/tintwell-cli share/tintwell/Tintwell.html share/man/man1/tintwell.1.gz \
         share/man/man1/tintwell-cli.1.gz share/bash-completion/completions/tintwell-cli \
         share/bash-completion/completions/tintwell share/icons/hicolor/scalable/apps/$id.svg \
         share/doc/tintwell/copyright share/metainfo/$id.metainfo.xml \
         share/tintwell/translations/tintwell_de.qm; do
  [ -e "$usr/$f" ] || fail "missing /usr/$f"
done
for size in 16 22 24 32 48 64 128 256; do
  file "$share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size" ||
    fail "no $size pixel icon"
done

# The German translation, made with Qt's tools, holds the window's texts.
/usr/lib/qt6/bin/lconvert -i "$share/tintwell/translations/tintwell_de.qm" -of po -o - |
  grep -q 'msgstr "&Farbzuordnung"' || fail "the German translation lacks the menus"

# The desktop entry and the metainfo, named by the application ID, pass their validators.
desktop=$share/applications/$id.desktop
grep -qx 'Exec=tintwell %F' "$desktop" && grep -qx "Icon=$id" "$desktop" || fail "desktop entry"
grep -q '^Comment\[de\]=.*umfärben' "$desktop" || fail "no German comment in the desktop entry"
# A file manager offers the program for both kinds of image it recolours.
grep -qx 'MimeType=image/bmp;image/x-bmp;image/png;' "$desktop" || fail "desktop entry MimeType"
grep -q '<mediatype>image/png</mediatype>' "$share/metainfo/$id.metainfo.xml" || fail "metainfo mediatype"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$tmp/log" 2>&1 ||
  { cat "$tmp/log"; fail "appstreamcli validate"; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo does not launch the desktop entry"

# Installed-Size counts the /usr/bin links as links, not as the programs again.
size=$(dpkg-deb -f "$deb" Installed-Size)
ondisk=$(find "$tmp/root" -type f -printf '%s\n' | awk '{ k += $1 } END { print int(k / 1024) }')
entries=$(find "$tmp/root" | wc -l)
[ "$size" -ge "$ondisk" ] && [ "$size" -le $((ondisk + entries)) ] ||
  fail "Installed-Size $size KiB against $ondisk KiB on disk"

# Both programs run from the unpacked root and answer without a display.
nodisplay="env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"
[ "$($nodisplay "$usr/bin/tintwell" --version)" = "Tintwell $version" ] || fail "tintwell --version"
$nodisplay "$usr/bin/tintwell" --help | grep -q 'FOLDER | FILE.bmp' || fail "tintwell --help"
[ "$("$usr/bin/tintwell-cli" --version)" = "tintwell-cli $version" ] || fail "tintwell-cli --version"

# A recolor with the packaged CLI changes the image and keeps a backup.
mkdir "$tmp/art" && cp "$share/tintwell/sample-tiles.bmp" "$tmp/art/a.bmp"
"$usr/bin/tintwell-cli" recolor --pairs 1-255:0-254 --backup -q "$tmp/art/a.bmp" || fail recolor
cmp -s "$tmp/art/a.bmp" "$share/tintwell/sample-tiles.bmp" && fail "recolor changed nothing"
cmp -s "$tmp/art/Tintwell Backup/a.bmp" "$share/tintwell/sample-tiles.bmp" || fail backup

# Completion: stored map names after --map and show-map (from the --settings file
# on the line), folders and BMP images for tintwell.
printf '[General]\r\nNumColorMaps=2\r\n[List 1]\r\nName=Warm\r\n3=9\r\n[List 2]\r\nName=Cold Blue\r\n' \
  >"$tmp/maps.ini"
mkdir "$tmp/art/sub" && touch "$tmp/art/notes.txt" "$tmp/art/b.PNG"
complete_line() {  # the completions of the words given, the last one being typed
  bash -c 'source /usr/share/bash-completion/bash_completion
           source "$0/bash-completion/completions/tintwell-cli"
           source "$0/bash-completion/completions/tintwell"
           COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
           f=$(complete -p "$(basename "$1")" | grep -o "_tintwell[_a-z]*"); $f
           printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort' "$share" "$@"
}
cli=$usr/bin/tintwell-cli
[ "$(complete_line "$cli" recolor --settings "$tmp/maps.ini" --map W)" = Warm ] || fail "--map completion"
[ "$(complete_line "$cli" show-map "--settings=$tmp/maps.ini" C)" = 'Cold\ Blue' ] ||
  fail "show-map completion"
[ "$(complete_line "$cli" maps "--settings=$tmp/ma")" = "$tmp/maps.ini" ] || fail "--settings= completion"
[ "$(complete_line "$usr/bin/tintwell" "$tmp/art/")" = "$(printf '%s\n' "$tmp/art/Tintwell Backup" \
  "$tmp/art/a.bmp" "$tmp/art/b.PNG" "$tmp/art/sub")" ] || fail "tintwell completion: $(complete_line "$usr/bin/tintwell" "$tmp/art/")"

# A cmake --install of the same build holds no file of the Debian package's own.
cmake --install "$build" --prefix "$tmp/local" >/dev/null || fail "cmake --install"
[ ! -e "$tmp/local/share/doc" ] && [ ! -e "$tmp/local/share/lintian" ] ||
  fail "cmake --install installs the package's documentation or lintian overrides"
[ -e "$tmp/local/share/metainfo/$id.metainfo.xml" ] || fail "cmake --install without the metainfo"

# The installed programs keep their settings in the user's configuration
# folder, also when run by root, who can write the program's folder; a first
# start copies the samples into the user's data folder and lists them there.
home=$tmp/home
mkdir -p "$home"
settings=$(env -u XDG_CONFIG_HOME HOME="$home" "$cli" info --settings-path)
[ "$settings" = "$home/.config/Tintwell/Tintwell.ini" ] || fail "settings of the install: $settings"
env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen \
  timeout 5 "$usr/bin/tintwell" >/dev/null 2>&1 || true
[ -e "$home/.local/share/tintwell/Samples/sample-tiles.bmp" ] || fail "the first start copied no samples"
grep -q "^Folder=" "$home/.config/Tintwell/Tintwell.ini" 2>/dev/null &&
  fail "the first start stored a folder"
[ ! -e "$usr/lib/tintwell/Tintwell.ini" ] || fail "a settings file beside the installed program"

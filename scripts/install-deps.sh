#!/usr/bin/env bash
# Installs the Debian 12 packages Tintwell needs to build, run and test,
# skipping the ones already present. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache gcovr
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6svg6 libgl-dev
  zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth openbox xdotool
  dpkg-dev file lintian desktop-file-utils appstream bash-completion
  librsvg2-bin qt6-l10n-tools qt6-translations-l10n locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Builds the Debian package of Tintwell (both programs, help, sample images,
# desktop entry and icon, manual pages, bash completion) and checks it with
# lintian. Installs missing Debian packages first. The build, a Release build
# with Debian's hardening flags, goes to build-package/ and so does the package.
# Usage: scripts/package.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TINTWELL_PACKAGE_BUILD_DIR:-$root/build-package}"

"$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DTINTWELL_BUILD_TESTS=OFF -DTINTWELL_BUILD_BENCH=OFF "${launcher[@]}"
fi
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/tintwell_*.deb
(cd "$build" && cpack -G DEB)
deb="$(ls "$build"/tintwell_*.deb)"
lintian --fail-on error --info "$deb"
echo "Package: $deb"

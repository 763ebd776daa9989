#!/usr/bin/env bash
# Builds Tintwell and runs every test. Installs missing Debian packages first.
# Usage: scripts/test.sh [extra ctest arguments]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TINTWELL_BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --parallel "$(nproc)"
cd "$build"
ctest --output-on-failure --no-tests=error --parallel "$(nproc)" "$@"

#!/usr/bin/env bash
# Builds Tintwell and starts it. Installs missing Debian packages first.
# Usage: scripts/run.sh
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TINTWELL_BUILD_DIR:-$root/build}"

"$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target tintwell --parallel "$(nproc)"
exec "$build/bin/tintwell" "$@"

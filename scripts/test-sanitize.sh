#!/usr/bin/env bash
# Builds Tintwell with AddressSanitizer and UndefinedBehaviorSanitizer (g++) in
# its own build folder and runs every test, the GUI tests on Qt's offscreen
# platform. Any sanitizer report fails the run.
# Usage: scripts/test-sanitize.sh [extra ctest arguments]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TINTWELL_ASAN_BUILD_DIR:-$root/build-asan}"

"$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTINTWELL_SANITIZE=ON -DTINTWELL_BUILD_BENCH=OFF
fi
cmake --build "$build" --parallel "$(nproc)"

# Leaks are checked; the suppressions file lists only what Qt and the system
# libraries keep for the life of the process (fonts, plugins), never our code.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
cd "$build"
# The window-manager tests (label wm) run the same window code as the offscreen
# GUI tests, which are checked here; what they add is the window manager's
# framing and stacking, which the sanitizers do not look at.
ctest --output-on-failure --parallel "$(nproc)" --label-exclude wm "$@"

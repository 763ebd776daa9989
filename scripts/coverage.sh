#!/usr/bin/env bash
# Builds Tintwell with gcov instrumentation in its own build folder, runs every
# test and prints the line coverage of the production code (app bitmap png cli
# core settings workspace shell ui; tests, fuzz harnesses, benchmarks and
# generated files are left out). Installs missing Debian packages (gcovr among them) first.
# Usage: scripts/coverage.sh [extra ctest arguments]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TINTWELL_COVERAGE_BUILD_DIR:-$root/build-coverage}"

"$root/scripts/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_FLAGS=--coverage \
        -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_SHARED_LINKER_FLAGS=--coverage \
        -DTINTWELL_BUILD_BENCH=OFF
fi
cmake --build "$build" --parallel "$(nproc)"
find "$build" -name '*.gcda' -delete
# Some tests run the programs as another user, whose counts must land too.
chmod -R a+rwX "$build"
# Files gcov creates as it goes must be writable by those users too.
(cd "$build" && umask 000 && QT_QPA_PLATFORM=offscreen \
   ctest --output-on-failure --no-tests=error --parallel "$(nproc)" "$@")

cd "$root"
# Tests run the command line in parallel over the same files, and processes that
# end together can leave a count gcov cannot read; such lines are skipped.
filters=()
for dir in app bitmap png cli core settings workspace shell ui; do filters+=(--filter "$root/$dir/"); done
summary=$(gcovr --root "$root" --object-directory "$build" "${filters[@]}" \
                --exclude '.*_autogen/.*' --exclude '.*/moc_.*' --gcov-ignore-parse-errors \
                --print-summary --output /dev/null)
echo "$summary"
echo "Line coverage of the production code: $(echo "$summary" | sed -n 's/^lines: //p')"

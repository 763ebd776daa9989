#!/usr/bin/env bash
# The command-line benchmark: builds a Release build into build-bench/,
# generates the data sets with the project's generator into a temporary
# folder, checks every tool's output, then prints one table per set:
# tintwell-cli recolor with one and two jobs, the C++ floor and Pillow's
# Image.point, as median wall time, MB/s, peak memory and ratio to the floor.
#
#   bench/run.sh [--runs N] [--sets large,batch,sprites,rle,png]     (default: 3 runs, all sets)
#
# The png set (bench/cli/png_bench.py) compares indexed PNG files with
# Pillow's point() and save: wall time, output size and peak memory.
#
# Needs about 600 MB of free space in $TMPDIR (default /tmp).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-bench"

"$root/scripts/install-deps.sh"
# Pillow (the peer to compare with) and GNU time (peak memory) are only
# needed here.
extra=()
/usr/bin/python3 -c 'import PIL' 2>/dev/null || extra+=(python3-pil)
[ -x /usr/bin/time ] || extra+=(time)
if [ ${#extra[@]} -gt 0 ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing for the benchmark: ${extra[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${extra[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTINTWELL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tintwell-cli make_bench_data recolor_floor

data="$(mktemp -d "${TMPDIR:-/tmp}/tintwell-bench-XXXXXX")"
trap 'rm -rf "$data"' EXIT
sets="large,batch,sprites,rle,png"
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  case "${args[$i]}" in
    --sets) sets="${args[$((i + 1))]:-$sets}" ;;
    --sets=*) sets="${args[$i]#--sets=}" ;;
  esac
done
runs=""
for ((i = 0; i < ${#args[@]}; i++)); do
  case "${args[$i]}" in
    --runs) runs="${args[$((i + 1))]:-}" ;;
    --runs=*) runs="${args[$i]#--runs=}" ;;
  esac
done
bmp_sets="$(echo "$sets" | tr ',' '\n' | grep -vx png | paste -sd, -)" || true
if [ -n "$bmp_sets" ]; then
  echo "Generating the data sets ($bmp_sets) in $data"
  "$build/bench/cli/make_bench_data" "$data" ${bmp_sets//,/ }
  /usr/bin/python3 "$root/bench/cli/cli_bench.py" --cli "$build/bin/tintwell-cli" \
    --floor "$build/bench/recolor/recolor_floor" --data "$data" --runs "${runs:-3}" --sets "$bmp_sets"
fi
if [[ ",$sets," == *",png,"* ]]; then
  mkdir -p "$data/png"
  /usr/bin/python3 "$root/bench/cli/png_bench.py" --cli "$build/bin/tintwell-cli" \
    --data "$data/png" --runs "${runs:-1}"
fi

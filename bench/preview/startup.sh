#!/usr/bin/env bash
# Start-up to the main window shown: Tintwell listing a folder of 2000 small
# BMPs against an empty Qt main window, whole processes on the offscreen
# platform. Usage: bench/preview/startup.sh <build folder> [runs]
set -euo pipefail
build="${1:?build folder}"
runs="${2:-20}"
probe="$build/bench/preview/startup_probe"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

mkdir -p "$work/program" "$work/images"
"$build/app/tintwell_make_samples" "$work/images" >/dev/null
for i in $(seq 1 500); do
  for s in "$work"/images/sample-*.bmp; do ln "$s" "$work/images/$i-$(basename "$s")"; done
done
rm -f "$work"/images/sample-*.bmp
printf '[General]\r\nFolder=%s\r\n' "$work/images" > "$work/program/Tintwell.ini"
echo "files: $(ls "$work/images" | wc -l)"

# Prints "wall-ms cpu-ms" per run. CPU time (user + system) is the steadier
# figure on a busy machine; wall time includes waiting for the CPU.
time_runs() {
  local TIMEFORMAT="%R %U %S" t
  t=$( { time (for _ in $(seq 1 "$runs"); do "$@" >/dev/null 2>&1; done); } 2>&1 )
  echo "$t" | awk -v n="$runs" '{ printf "%.0f %.0f\n", $1 * 1000 / n, ($2 + $3) * 1000 / n }'
}
"$probe" empty >/dev/null 2>&1  # warm the caches
read -r empty_wall empty_cpu < <(time_runs "$probe" empty)
read -r tint_wall tint_cpu < <(time_runs "$probe" tintwell "$work/program")
echo "empty main window:    ${empty_wall} ms wall, ${empty_cpu} ms cpu per start"
echo "Tintwell, 2000 files: ${tint_wall} ms wall, ${tint_cpu} ms cpu per start"
awk -v a="$tint_cpu" -v b="$empty_cpu" -v c="$tint_wall" -v d="$empty_wall" \
  'BEGIN { printf "ratio: %.2f cpu, %.2f wall (target: within 2)\n", a / b, c / d }'

#!/usr/bin/env bash
# Start-up with an 8192 x 8192 8-bit BMP, whole processes on the offscreen
# platform to the first idle loop: an empty Qt main window against Tintwell
# (Show Preview ticked) starting on a folder whose first file is the big one,
# and opening a small file of that folder from the command line. Prints wall
# and CPU time, peak memory, and any allocation-limit warning.
# Targets: start-up within 8x the empty window; the preview within 1.5x the
# image's 64 MiB above the empty window; no warning.
# Usage: bench/preview/bigfile.sh <build folder> [runs] [other startup_probe]
set -euo pipefail
build="${1:?build folder}"
runs="${2:-5}"
probe="${3:-$build/bench/preview/startup_probe}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

mkdir -p "$work/program" "$work/images"
# A bottom-up 8-bit BMP: headers, a grey colour table, then the pixel bytes.
bmp() {
  python3 - "$1" "$2" <<'PY'
import struct, sys
side = int(sys.argv[2]); pixels = side * ((side + 3) & ~3)
table = b''.join(bytes((i, i, i, 0)) for i in range(256))
off = 14 + 40 + len(table)
with open(sys.argv[1], 'wb') as f:
    f.write(struct.pack('<2sIHHI', b'BM', off + pixels, 0, 0, off))
    f.write(struct.pack('<IiiHHIIiiII', 40, side, side, 1, 8, 0, pixels, 2835, 2835, 256, 0))
    f.write(table)
PY
  head -c "$(( $2 * (($2 + 3) / 4 * 4) ))" /dev/urandom >> "$1"
}
bmp "$work/images/a-big.bmp" 8192
bmp "$work/images/b-small.bmp" 64
printf '[General]\r\nFolder=%s\r\nPreview=-1\r\n' "$work/images" > "$work/program/Tintwell.ini"

# Prints "wall-ms cpu-ms peak-MiB warnings" averaged over the runs.
measure() {
  python3 - "$runs" "$@" <<'PY'
import resource, subprocess, sys, time
runs, cmd = int(sys.argv[1]), sys.argv[2:]
wall = cpu = peak = warned = 0
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    t = time.monotonic()
    err = subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE).stderr
    wall += time.monotonic() - t
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu += after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime
    peak = max(peak, after.ru_maxrss)
    warned += err.count(b'allocation limit')
print(f"{wall * 1000 / runs:.0f} {cpu * 1000 / runs:.0f} {peak / 1024:.0f} {warned}")
PY
}
"$probe" empty >/dev/null 2>&1  # warm the caches
cat "$work/images/a-big.bmp" > /dev/null
read -r ew ec em _ < <(measure "$probe" empty)
read -r bw bc bm bwarn < <(measure "$probe" tintwell "$work/program")
read -r ow oc om owarn < <(measure "$probe" tintwell "$work/program" "$work/images/b-small.bmp")
echo "empty main window:          ${ew} ms wall, ${ec} ms cpu, ${em} MiB peak"
echo "Tintwell, 8192 x 8192 first: ${bw} ms wall, ${bc} ms cpu, ${bm} MiB peak, ${bwarn} warnings"
echo "Tintwell, open small file:   ${ow} ms wall, ${oc} ms cpu, ${om} MiB peak, ${owarn} warnings"
awk -v bc="$bc" -v ec="$ec" -v bw="$bw" -v ew="$ew" -v bm="$bm" -v em="$em" 'BEGIN {
  printf "start-up: %.1fx cpu, %.1fx wall (target: within 8)\n", bc / ec, bw / ew
  printf "memory above the empty window: %.2fx the image (target: within 1.5)\n", (bm - em) / 64 }'

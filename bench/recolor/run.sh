#!/usr/bin/env bash
# Times RecolorBitmap and RecolorFile against their floors and prints the ratios.
# Builds nothing: give it a build folder made with -DCMAKE_BUILD_TYPE=Release.
#   bench/recolor/run.sh BUILD_DIR [SCRATCH_PARENT]     (REPS=5 by default)
# Files are written under SCRATCH_PARENT (default /tmp) and removed at the end.
set -euo pipefail

build=${1:?usage: run.sh BUILD_DIR [SCRATCH_PARENT]}
bin=$build/bench/recolor
for tool in recolor_bench recolor_file_run recolor_floor; do
  [ -x "$bin/$tool" ] || { echo "missing $bin/$tool: build the benchmarks first" >&2; exit 1; }
done
reps=${REPS:-5}
work=$(mktemp -d "${2:-/tmp}/tintwell-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
results=$work/results.txt

now() { date +%s.%N; }
# record LABEL OUTPUT-of-a-tool ("seconds=.. maxrss_kb=..")
record() { echo "$1 $(sed -e 's/seconds=//' -e 's/maxrss_kb=//' <<<"$2")" >>"$results"; }

echo "== RecolorBitmap over 64 MiB against a plain table lookup"
"$bin/recolor_bench" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_format=json >"$work/bench.json" 2>/dev/null

echo "== RecolorFile on one 64 MiB file (no backup) against the floor"
"$bin/recolor_file_run" --make "$work/big.bmp" 8192 8192
cat "$work/big.bmp" >/dev/null
for ((i = 0; i < reps; i++)); do
  record floor64 "$("$bin/recolor_floor" "$work/big.bmp")"
  record recolor64 "$("$bin/recolor_file_run" "$work/big.bmp")"
  record empty "$("$bin/recolor_file_run")"
done
bigsize=$(stat -c %s "$work/big.bmp")

echo "== 200 files of 1 MiB"
mkdir "$work/batch"
for ((i = 0; i < 200; i++)); do
  "$bin/recolor_file_run" --make "$(printf '%s/batch/f%03d.bmp' "$work" "$i")" 1024 1024
done
cat "$work"/batch/*.bmp >/dev/null
for ((i = 0; i < reps; i++)); do
  record floorbatch "$("$bin/recolor_floor" "$work"/batch/*.bmp)"
  record recolorbatch "$("$bin/recolor_file_run" "$work"/batch/*.bmp)"
  rm -rf "$work/batch/Tintwell Backup" "$work/cp"
  mkdir "$work/cp"
  t0=$(now)
  cp "$work"/batch/*.bmp "$work/cp/"
  t1=$(now)
  echo "cpbatch $(awk "BEGIN { print $t1 - $t0 }") 0" >>"$results"
  record backupbatch "$("$bin/recolor_file_run" --backup "$work"/batch/*.bmp)"
done

python3 - "$work/bench.json" "$results" "$bigsize" <<'PY'
import json, statistics, sys
bench = json.load(open(sys.argv[1]))
med = {b["run_name"].split("/")[0]: b["real_time"] for b in bench["benchmarks"] if b.get("aggregate_name") == "median"}
rows = {}
for line in open(sys.argv[2]):
    label, sec, rss = line.split()
    rows.setdefault(label, []).append((float(sec), int(rss)))
m = lambda k: statistics.median(s for s, _ in rows[k])
peak = lambda k: max(r for _, r in rows[k])
table, recolor = med["BM_PlainTableLookup"], med["BM_RecolorBitmap"]
print(f"RecolorBitmap 64 MiB        {recolor:8.1f} ms   table lookup {table:8.1f} ms   ratio {recolor / table:.2f}  (target <= 2)")
print(f"  outside a selection       {med['BM_RecolorBitmapOutsideSelection']:8.1f} ms")
f, r = m("floor64"), m("recolor64")
print(f"RecolorFile 64 MiB          {r * 1000:8.1f} ms   floor        {f * 1000:8.1f} ms   ratio {r / f:.2f}  (target <= 1.3)")
size_kb = int(sys.argv[3]) / 1024
print(f"  peak RSS RecolorFile      {peak('recolor64') / 1024:8.1f} MiB  = {(peak('recolor64') - peak('empty')) / 1024:.1f} MiB"
      f" above the empty run's {peak('empty') / 1024:.1f} MiB (target <= 16); floor {peak('floor64') / 1024:.1f} MiB")
f, r = m("floorbatch"), m("recolorbatch")
print(f"200 x 1 MiB, no backup      {r * 1000:8.1f} ms   floor        {f * 1000:8.1f} ms   ratio {r / f:.2f}  (target <= 1.3)")
c, b = m("cpbatch"), m("backupbatch")
print(f"200 x 1 MiB, with backup    {b * 1000:8.1f} ms   floor + cp   {(f + c) * 1000:8.1f} ms   ratio {b / (f + c):.2f}  (target <= 1.3; cp alone {c * 1000:.1f} ms)")
PY

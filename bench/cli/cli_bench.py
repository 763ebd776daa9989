#!/usr/bin/python3
"""Times tintwell-cli recolor (one and two jobs), the C++ floor and Pillow on
the benchmark's data sets, after checking that each tool's output is right.

    cli_bench.py --cli PATH --floor PATH --data DIR [--runs N] [--sets a,b]

Every tool recolours the files in place through the same 256-entry table
(index i becomes (7 i + 13) mod 256). The rle set recolours an RLE8 file
decoding to 8192 x 8192 with tintwell-cli, against the floor on an
uncompressed file of about the same byte size. Peak memory is also compared
with the program's peak on a 1 x 1 file (its empty run). Runs of the tools alternate, in an
order that turns each round, so a change of load on the machine touches them
alike; each figure is the median
wall time of --runs runs on files in the page cache.
"""
import argparse
import os
import shutil
import statistics
import struct
import subprocess
import sys
import tempfile
import time

TABLE = bytes((i * 7 + 13) & 255 for i in range(256))
PAIRS = ",".join(f"{i}:{TABLE[i]}" for i in range(256))
HERE = os.path.dirname(os.path.abspath(__file__))


def decode_rle8(data, off, width, height):
    """The rows of an RLE8 stream, bottom row first; unset pixels are 0."""
    rows = [bytearray(width) for _ in range(height)]
    x = y = 0
    p = off
    while True:
        count, code = data[p], data[p + 1]
        p += 2
        if count:
            rows[y][x:x + count] = bytes([code]) * count
            x += count
        elif code == 0:
            x, y = 0, y + 1
        elif code == 1:
            return [bytes(r) for r in rows]
        elif code == 2:
            x, y, p = x + data[p], y + data[p + 1], p + 2
        else:
            rows[y][x:x + code] = data[p:p + code]
            x, p = x + code, p + code + (code & 1)


def read_bmp(path):
    """Width, height, bit count, palette (RGB triples) and the pixel rows,
    top row first, without padding."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    off = struct.unpack_from("<I", data, 10)[0]
    bi_size, width, height, _, bits, comp = struct.unpack_from("<IiiHHI", data, 14)
    clr_used = struct.unpack_from("<I", data, 46)[0]
    if comp not in (0, 1) or bits != 8:
        raise ValueError(f"{path}: not an uncompressed or RLE8 8-bit BMP")
    entries = clr_used or 256
    start = 14 + bi_size
    palette = [data[start + 4 * i:start + 4 * i + 3] for i in range(entries)]
    palette += [b"\0\0\0"] * (256 - entries)
    stride = (width * 8 + 31) // 32 * 4
    rows = [data[off + r * stride:off + r * stride + width] for r in range(abs(height))]
    if comp == 1:
        rows = decode_rle8(data, off, width, abs(height))
    if height > 0:
        rows.reverse()
    return width, abs(height), bits, palette, b"".join(rows)


def check_output(original_dir, result_dir, files):
    for name in files:
        w0, h0, b0, pal0, pix0 = read_bmp(os.path.join(original_dir, name))
        w1, h1, b1, pal1, pix1 = read_bmp(os.path.join(result_dir, name))
        if (w0, h0, b0) != (w1, h1, b1):
            return f"{name}: size or bit count changed"
        if pal0 != pal1:
            return f"{name}: palette changed"
        if pix0.translate(TABLE) != pix1:
            return f"{name}: indices not remapped through the table"
    return None


def run_timed(cmd):
    """Wall seconds, peak resident memory (bytes) and CPU seconds of one run of
    `cmd`. GNU time reports the memory: a child forked from this interpreter
    would count the interpreter's own pages before its exec."""
    with tempfile.NamedTemporaryFile("r") as report:
        start = time.perf_counter()
        proc = subprocess.run(["/usr/bin/time", "-f", "%M %U %S", "-o", report.name] + cmd,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        seconds = time.perf_counter() - start
        if proc.returncode != 0:
            err = proc.stderr.decode(errors="replace").strip()
            raise RuntimeError(f"{' '.join(cmd[:3])}... exited {proc.returncode}: {err}")
        peak_kb, user, system = report.read().split()[-3:]
    return seconds, int(peak_kb) * 1024, float(user) + float(system)


def cli_command(args):
    return [args.cli, "recolor", "--no-backup", "--quiet", "--pairs", PAIRS]


def tools(args, name="large"):
    cli = cli_command(args)
    if name == "rle":  # the floor runs on the file of the same size (make_files)
        return [("tintwell-cli -j1", lambda files: cli + ["--jobs", "1"] + files),
                ("floor (C++)", lambda files: [args.floor] + files)]
    return [
        ("tintwell-cli -j1", lambda files: cli + ["--jobs", "1"] + files),
        ("tintwell-cli -j2", lambda files: cli + ["--jobs", "2"] + files),
        ("floor (C++)", lambda files: [args.floor] + files),
        ("Pillow point", lambda files: ["/usr/bin/python3", os.path.join(HERE, "pillow_point.py")] + files),
    ]


def empty_run_peak(args):
    """The program's peak memory recolouring a 1 x 1 file: its empty run."""
    folder = tempfile.mkdtemp(dir=args.data)
    path = os.path.join(folder, "tiny.bmp")
    header = struct.pack("<HiHHiiiiHHiiiiii", 0x4D42, 1082, 0, 0, 1078, 40, 1, 1, 1, 8, 0, 4,
                         2835, 2835, 256, 0)
    with open(path, "wb") as f:
        f.write(header + bytes(1024) + bytes(4))
    peak = max(run_timed(cli_command(args) + [path])[1] for _ in range(3))
    shutil.rmtree(folder)
    return peak


def list_set(folder):
    return sorted(n for n in os.listdir(folder) if n.lower().endswith(".bmp"))


def bench_set(args, name):
    # Each tool's own folder of files: the floor's differs for the rle set.
    folders = {label: name for label, _ in tools(args, name)}
    if name == "rle":
        folders["floor (C++)"] = "rle-floor"
    original = os.path.join(args.data, name)
    names = list_set(original)
    total = sum(os.path.getsize(os.path.join(original, n)) for n in names)

    def work(label):
        return os.path.join(args.data, "work-" + folders[label])

    def files_of(label, count=None):
        folder = os.path.join(args.data, folders[label])
        return [os.path.join(work(label), n) for n in list_set(folder)[:count]]

    # The check runs each tool on up to 200 files of the set (all of the large
    # and batch sets), which also brings every file into the page cache.
    for label, make in tools(args, name):
        folder = os.path.join(args.data, folders[label])
        shutil.rmtree(work(label), ignore_errors=True)
        shutil.copytree(folder, work(label))
        checked = list_set(folder)[:200]
        run_timed(make(files_of(label, 200)))
        problem = check_output(folder, work(label), checked)
        if problem:
            sys.exit(f"{label} gives a wrong result on {name}: {problem}")

    times = {label: [] for label, _ in tools(args, name)}
    cpu = {label: [] for label, _ in tools(args, name)}
    peaks = {label: 0 for label, _ in tools(args, name)}
    # The checked runs above left every file in the page cache: no warm-up run.
    # The order of the tools turns by one each round, so none of them always
    # follows the same one (and inherits the disk work it left behind).
    for rep in range(args.runs):
        order = tools(args, name)
        for label, make in order[rep % len(order):] + order[:rep % len(order)]:
            seconds, peak, cpu_seconds = run_timed(make(files_of(label)))
            times[label].append(seconds)
            cpu[label].append(cpu_seconds)
            peaks[label] = max(peaks[label], peak)
    for label in folders:
        shutil.rmtree(work(label), ignore_errors=True)

    medians = {label: statistics.median(t) for label, t in times.items()}
    floor = medians["floor (C++)"]
    print(f"\n{name}: {len(names)} file(s), {total / 2**20:.1f} MiB, median of {args.runs} runs")
    print(f"  {'tool':<18} {'median s':>9} {'MB/s':>8} {'peak MiB':>9} {'x floor':>8}"
          f" {'CPU s':>7}")
    for label in medians:
        m = medians[label]
        print(f"  {label:<18} {m:>9.3f} {total / 1e6 / m:>8.1f} {peaks[label] / 2**20:>9.1f}"
              f" {m / floor:>8.2f} {statistics.median(cpu[label]):>7.3f}")
    print(f"  (all runs, s: " + "; ".join(
        f"{label} " + " ".join(f"{t:.2f}" for t in times[label]) for label in times) + ")")
    return {"medians": medians, "peaks": peaks, "bytes": total}


def targets(results, empty_peak):
    lines = []

    def check(ok, text):
        lines.append(f"  [{'met' if ok else 'MISSED'}] {text}")

    limits = {"large": 1.2, "batch": 1.2, "sprites": 1.3, "rle": 1.3}
    for name, r in results.items():
        m = r["medians"]
        floor = m["floor (C++)"]
        check(m["tintwell-cli -j1"] <= limits[name] * floor,
              f"{name}: one job within {limits[name]}x the floor "
              f"({m['tintwell-cli -j1'] / floor:.2f}x)")
        if name == "rle":
            continue
        if name != "large":
            check(m["tintwell-cli -j2"] < floor,
                  f"{name}: two jobs faster than the floor ({m['tintwell-cli -j2'] / floor:.2f}x)")
        check(m["tintwell-cli -j2"] < m["Pillow point"],
              f"{name}: two jobs faster than Pillow "
              f"({m['tintwell-cli -j2'] / m['Pillow point']:.2f}x Pillow's time)")
        if name == "large":
            above = (r["peaks"]["tintwell-cli -j1"] - empty_peak) / 2**20
            check(above <= 16, f"large: peak memory of one job {above:.1f} MiB above the empty "
                               f"run's {empty_peak / 2**20:.1f} MiB (at most 16)")
    print("\nTargets:")
    print("\n".join(lines))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--sets", default="large,batch,sprites,rle")
    args = parser.parse_args()
    with open("/proc/loadavg") as f:
        print(f"cores: {os.cpu_count()}, load average before: {f.read().split()[0:3]}")
    results = {}
    for name in args.sets.split(","):
        results[name] = bench_set(args, name)
    empty_peak = empty_run_peak(args)
    with open("/proc/loadavg") as f:
        print(f"\nload average after: {f.read().split()[0:3]}")
    targets(results, empty_peak)


if __name__ == "__main__":
    main()

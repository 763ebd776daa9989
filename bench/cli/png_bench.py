#!/usr/bin/python3
"""The PNG benchmark: tintwell-cli recolor (one and two jobs) against the
Pillow script a user would write (open, point(table), save to a temporary,
fsync, rename), on indexed PNG files made here with Pillow:

    large    one 4096 x 4096 file of 256 colours
    sprites  2000 files of 64 x 64, half at depth 4 (16 colours), half at depth 8

After checking every tool's output (palette kept, indices mapped), prints the
median wall time, the output size against Pillow's and against the input,
and the peak memory of a recolour of an 8192 x 8192 file above that of a
1 x 1 file (the empty run).

    png_bench.py --cli PATH --data DIR [--runs N]
"""
import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import Image, ImageDraw

# Valid for every file: indices below 16 stay below 16.
TABLE = [(i * 7 + 13) % 16 if i < 16 else (i * 7 + 13) & 255 for i in range(256)]
PAIRS = ",".join(f"{i}:{TABLE[i]}" for i in range(256))
HERE = os.path.dirname(os.path.abspath(__file__))


def art(size, colors, rng, shapes):
    """Pixel art: flat shapes over a dithered ground, with a noisy patch."""
    im = Image.new("P", size)
    im.putpalette([rng.randrange(256) for _ in range(3 * colors)])
    draw = ImageDraw.Draw(im)
    w, h = size
    for _ in range(shapes):
        x, y = rng.randrange(w), rng.randrange(h)
        box = [x, y, x + rng.randrange(1, w // 4 + 2), y + rng.randrange(1, h // 4 + 2)]
        (draw.ellipse if rng.random() < 0.5 else draw.rectangle)(box, fill=rng.randrange(colors))
    nw, nh = w // 8 + 1, h // 8 + 1
    noise = Image.frombytes("P", (nw, nh), bytes(rng.randrange(colors) for _ in range(nw * nh)))
    im.paste(noise, (w // 3, h // 3))
    return im


def make(data):
    rng = random.Random(7)
    sets = {"large": [], "sprites": [], "huge": [], "tiny": []}
    for name in sets:
        os.makedirs(os.path.join(data, name), exist_ok=True)
    art((4096, 4096), 256, rng, 3000).save(os.path.join(data, "large", "large.png"))
    for i in range(2000):
        colors = 16 if i % 2 == 0 else 256
        art((64, 64), colors, rng, 12).save(os.path.join(data, "sprites", f"sprite-{i:04d}.png"))
    art((8192, 8192), 256, rng, 6000).save(os.path.join(data, "huge", "huge.png"))
    art((1, 1), 256, rng, 1).save(os.path.join(data, "tiny", "tiny.png"))


def files(folder):
    return sorted(os.path.join(folder, n) for n in os.listdir(folder) if n.endswith(".png"))


def run_timed(cmd):
    with tempfile.NamedTemporaryFile("r") as report:
        start = time.perf_counter()
        proc = subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + cmd,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        seconds = time.perf_counter() - start
        if proc.returncode != 0:
            raise RuntimeError(f"{cmd[0]} exited {proc.returncode}: {proc.stderr.decode()}")
        return seconds, int(report.read().split()[-1]) * 1024


def check(original, result):
    for a, b in zip(files(original), files(result)):
        with Image.open(a) as x, Image.open(b) as y:
            if x.getpalette() != y.getpalette() or x.size != y.size:
                return f"{b}: palette or size changed"
            if x.point(TABLE).tobytes() != y.tobytes():
                return f"{b}: indices not mapped through the table"
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--runs", type=int, default=1)
    args = parser.parse_args()
    print("Generating the PNG sets with Pillow")
    make(args.data)
    cli = [args.cli, "recolor", "--no-backup", "--quiet", "--pairs", PAIRS]
    tools = {
        "tintwell-cli -j1": lambda f: cli + ["--jobs", "1"] + f,
        "tintwell-cli -j2": lambda f: cli + ["--jobs", "2"] + f,
        "Pillow": lambda f: ["/usr/bin/python3", os.path.join(HERE, "pillow_point_png.py")] + f,
    }
    results = {}
    for name in ("large", "sprites"):
        original = os.path.join(args.data, name)
        size_in = sum(os.path.getsize(f) for f in files(original))
        times = {t: [] for t in tools}
        sizes = {}
        for rep in range(args.runs):
            for tool, command in tools.items():
                work = os.path.join(args.data, "work")
                shutil.rmtree(work, ignore_errors=True)
                shutil.copytree(original, work)
                subprocess.run(["cat"] + files(work), stdout=subprocess.DEVNULL)  # page cache
                os.sync()  # the copy's own write-back must not land in the timed run
                seconds, _ = run_timed(command(files(work)))
                times[tool].append(seconds)
                if rep == 0:
                    problem = check(original, work)
                    if problem:
                        sys.exit(f"{tool} gives a wrong result on {name}: {problem}")
                    sizes[tool] = sum(os.path.getsize(f) for f in files(work))
        med = {t: statistics.median(v) for t, v in times.items()}
        results[name] = (med, sizes, size_in)
        print(f"\n{name}: {len(files(original))} file(s), input {size_in} bytes, "
              f"median of {args.runs} run(s)")
        print(f"  {'tool':<18} {'wall s':>8} {'x Pillow':>9} {'out bytes':>11} {'x Pillow':>9}"
              f" {'x input':>8}")
        for t in tools:
            print(f"  {t:<18} {med[t]:>8.3f} {med[t] / med['Pillow']:>9.2f} {sizes[t]:>11}"
                  f" {sizes[t] / sizes['Pillow']:>9.4f} {sizes[t] / size_in:>8.4f}")

    peaks = {}
    for name in ("huge", "tiny"):
        work = os.path.join(args.data, "work")
        shutil.rmtree(work, ignore_errors=True)
        shutil.copytree(os.path.join(args.data, name), work)
        peaks[name] = max(run_timed(cli + files(work))[1] for _ in range(2 if name == "tiny" else 1))
    above = (peaks["huge"] - peaks["tiny"]) / 2**20
    print(f"\n8192 x 8192: peak {peaks['huge'] / 2**20:.1f} MiB, empty run "
          f"{peaks['tiny'] / 2**20:.1f} MiB, {above:.1f} MiB above")

    print("\nTargets:")
    for name, (med, sizes, _) in results.items():
        for jobs, limit in (("2", 0.5), ("1", 1.0)):
            r = med[f"tintwell-cli -j{jobs}"] / med["Pillow"]
            print(f"  [{'met' if r <= limit else 'MISSED'}] {name}: -j{jobs} at most {limit}x "
                  f"Pillow's time ({r:.2f}x)")
        r = sizes["tintwell-cli -j1"] / sizes["Pillow"]
        print(f"  [{'met' if r <= 1.01 else 'MISSED'}] {name}: output at most 1.01x Pillow's "
              f"({r:.4f}x)")
    print(f"  [{'met' if above <= 16 else 'MISSED'}] 8192 x 8192: peak at most 16 MiB above the "
          f"empty run ({above:.1f} MiB)")


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""ImageMagick's RLE8 files, recoloured by tintwell-cli, decode as they should.

For widths 1 to 64, ImageMagick writes an 8-bit palette image as BMP3 and as
BMP (V5), each by default and with -compress RLE. tintwell-cli recolours every
file through a map, over the whole image and within a selection; Pillow then
decodes each file before and after, and the result must be the map applied to
the original's indices, inside the selection only when there is one. ImageMagick
must read every result as Pillow does, the identity must leave every file
byte-identical, and export-indices must list the indices Pillow reads.

Usage: imagemagick_rle8.py TINTWELL_CLI. Exits 77 (skipped) without Pillow or
ImageMagick.
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile

try:
    from PIL import Image
except ImportError:
    print("Pillow is not installed: skipped")
    sys.exit(77)

CONVERT = next((c for c in ("/usr/bin/convert", shutil.which("convert")) if c and os.path.exists(c)), None)
if CONVERT is None:
    print("ImageMagick is not installed: skipped")
    sys.exit(77)

CLI = sys.argv[1]
VARIANTS = [("BMP3", []), ("BMP3", ["-compress", "RLE"]), ("BMP", []), ("BMP", ["-compress", "RLE"])]
PAIRS = "0:9,1:0,2-9:30-37,23:1"
SELECT = (1, 1, 3, 2)  # x, y, w, h


def mapping():
    m = list(range(256))
    for pair in PAIRS.split(","):
        src, dst = pair.split(":")
        a, b = (src.split("-") + [src])[:2]
        c = int(dst.split("-")[0])
        for i in range(int(a), int(b) + 1):
            m[i] = c + i - int(a)
    return m


def picture(w, seed):
    """A PPM of w columns with 40 colours in runs and single pixels."""
    rnd = random.Random(seed)
    h = max(3, 48 // w + 1)
    colours = [((i * 53) % 256, (i * 97) % 256, (i * 31 + 7) % 256) for i in range(40)]
    pixels = [[0] * w for _ in range(h)]
    for y in range(h):
        x = 0
        while x < w:
            n = min(rnd.choice([1, 1, 2, 3, 5, 9, 40]), w - x)
            c = rnd.randrange(40)
            for i in range(n):
                pixels[y][x + i] = c if rnd.random() < 0.7 else rnd.randrange(40)
            x += n
    for i in range(40):  # every colour at least once: 8 bits
        pixels[(i * 5) % h][(i * 7) % w] = i
    data = b"".join(bytes(colours[c]) for row in pixels for c in row)
    return b"P6\n%d %d\n255\n" % (w, h) + data


def indices(path):
    with Image.open(path) as im:
        if im.mode != "P":
            raise SystemExit(f"{path}: Pillow reads mode {im.mode}, not P")
        return im.size, im.tobytes()


def magick_agrees(before, after, m):
    """ImageMagick reads `after` as `before` with its indices mapped. Its own
    reading is compared (version 6.9.11 misreads its own files at widths 1
    and 2), through the palette, whose colours are distinct."""
    with Image.open(before) as im:
        palette = im.getpalette()
    colours = [tuple(palette[3 * i:3 * i + 3]) for i in range(len(palette) // 3)]
    index = {}
    for i, c in enumerate(colours):
        index.setdefault(c, i)
    with Image.open(before.replace(".bmp", ".ppm")) as a, Image.open(after.replace(".bmp", ".ppm")) as b:
        seen = list(zip(a.convert("RGB").getdata(), b.convert("RGB").getdata()))
    return all(c in index and colours[m[index[c]]] == d for c, d in seen)


def recolor(files, *extra):
    run = subprocess.run([CLI, "recolor", "--no-backup", "-q", *extra, *files],
                         capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"tintwell-cli failed ({run.returncode}): {run.stdout}{run.stderr}")


def main():
    m = mapping()
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        originals = []
        for w in range(1, 65):
            ppm = os.path.join(tmp, f"{w}.ppm")
            with open(ppm, "wb") as f:
                f.write(picture(w, w))
            paths = [os.path.join(tmp, f"w{w}-{k}.bmp") for k in range(len(VARIANTS))]
            command = [CONVERT, ppm, "-type", "Palette"]
            for path, (fmt, extra) in zip(paths, VARIANTS):
                command += [*extra, "-write", f"{fmt}:{path}", "+compress"]
            subprocess.run(command + ["null:"], check=True)
            for path in paths:
                with open(path, "rb") as f:
                    data = f.read()
                if data[28] != 8 or data[30] != 1:
                    failures.append(f"{path}: ImageMagick wrote no 8-bit RLE8 file")
                originals.append((path, data))
        groups = {}
        for suffix, extra in (("whole", []), ("select", ["--select", ",".join(map(str, SELECT))]),
                              ("same", [])):
            files = []
            for path, data in originals:
                copy = path.replace(".bmp", f"-{suffix}.bmp")
                with open(copy, "wb") as f:
                    f.write(data)
                files.append(copy)
            if suffix == "same":
                recolor(files, "--pairs", "7:7")
            else:
                recolor(files, "--pairs", PAIRS, *extra)
            groups[suffix] = files
        mogrify = shutil.which("mogrify")
        if mogrify:  # ImageMagick's own reading, of the originals and the results
            subprocess.run([mogrify, "-format", "ppm", *[p for p, _ in originals], *groups["whole"]],
                           check=True)
        for i, (path, data) in enumerate(originals):
            (w, h), before = indices(path)
            x0, y0, sw, sh = SELECT
            for suffix in ("whole", "select"):
                size, after = indices(groups[suffix][i])
                expected = bytes(
                    m[v] if suffix == "whole" or (x0 <= j % w < x0 + sw and y0 <= j // w < y0 + sh)
                    else v for j, v in enumerate(before))
                if size != (w, h) or after != expected:
                    failures.append(f"{groups[suffix][i]}: Pillow decodes other indices than expected")
            if i % 2 == 0:  # the colour index list reads the stream in pieces
                listed = subprocess.run([CLI, "export-indices", path], capture_output=True).stdout
                rows = [before[y * w:(y + 1) * w] for y in range(h)]
                if listed != b"".join(b"".join(b"%3d," % v for v in r) + b"\r\n" for r in rows):
                    failures.append(f"{path}: export-indices lists other indices than Pillow's")
            with open(groups["same"][i], "rb") as f:
                if f.read() != data:
                    failures.append(f"{groups['same'][i]}: the identity changed the file")
            if mogrify and not magick_agrees(path, groups["whole"][i], m):
                failures.append(f"{groups['whole'][i]}: ImageMagick reads another recolouring")
    for f in failures:
        print(f)
    print(f"{len(originals) * 3 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())

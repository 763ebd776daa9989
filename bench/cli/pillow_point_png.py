#!/usr/bin/python3
"""The Pillow peer of the PNG benchmark, as a user would write it: for each
file, Image.point with the benchmark's table on the palette image, saved as
PNG to a temporary file in the same folder, fsynced and renamed over the
original."""
import os
import sys

from PIL import Image

TABLE = [(i * 7 + 13) % 16 if i < 16 else (i * 7 + 13) & 255 for i in range(256)]


def recolor(path):
    with Image.open(path) as im:
        out = im.point(TABLE)
        info = im.info
    temp = path + ".pil-tmp"
    with open(temp, "wb") as f:
        out.save(f, "PNG", **{k: v for k, v in info.items() if k == "transparency"})
        f.flush()
        os.fsync(f.fileno())
    os.replace(temp, path)


for p in sys.argv[1:]:
    recolor(p)

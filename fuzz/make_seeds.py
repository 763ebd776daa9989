#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets (fuzz/corpus/<target>/seed-*).

Run once after changing it; the files it writes are committed. Inputs found by
fuzzing, and files other programs wrote (imagemagick-*: ImageMagick's RLE8
output), are added beside the seeds under their own names and are never
regenerated here.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(w=5, h=3, bits=8, top_down=False, header=40, clr_used=0, palette=None,
        compression=0, bf_size=None, off_bits=None, trailing=b"", truncate=None):
    stride = ((w * bits + 31) // 32) * 4 if w > 0 and bits > 0 else 0
    if palette is None:
        palette = (clr_used or (1 << bits)) if bits <= 8 else 0
    pal = b"".join(struct.pack("<BBBB", (i * 7 + 3) & 255, 255 - (i & 255), i & 255, 0)
                   for i in range(palette))
    rows = b""
    for y in range(h):
        row = bytearray(stride)
        for i in range(len(row)):
            row[i] = (i * 3 + y * 5 + 1) & 255
        rows += bytes(row)
    start = 14 + header + len(pal)
    size = start + len(rows) + len(trailing)
    info = struct.pack("<iiiHHiiiiii", header, w, -h if top_down else h, 1, bits,
                       compression, len(rows), 2835, 2835, clr_used, 0)
    info += b"\xa5" * (header - 40)
    fh = struct.pack("<HiHHi", 0x4D42, size if bf_size is None else bf_size, 0, 0,
                     start if off_bits is None else off_bits)
    data = fh + info + pal + rows + trailing
    return data[:truncate] if truncate is not None else data


def rle_bmp(w, h, bits, stream, header=40, profile=b""):
    """An RLE8 (8 bits) or RLE4 (4 bits) file; a V5 header may embed a profile
    stored behind the stream."""
    pal = b"".join(struct.pack("<BBBB", i, 255 - i, i * 3 & 255, 0) for i in range(1 << bits))
    start = 14 + header + len(pal)
    info = struct.pack("<iiiHHiiiiii", header, w, h, 1, bits, 1 if bits == 8 else 2,
                       len(stream), 2835, 2835, 0, 0)
    info += b"\xa5" * (header - 40)
    if header == 124 and profile:
        info = (info[:56] + b"DEBM" + info[60:112] +
                struct.pack("<ii", start + len(stream) - 14, len(profile)) + info[120:])
    fh = struct.pack("<HiHHi", 0x4D42, start + len(stream) + len(profile), 0, 0, start)
    return fh + info[:header] + pal + stream + profile


def os2_core(w=5, h=3, entries=256):
    pal = b"".join(struct.pack("<BBB", i, 255 - i, i) for i in range(entries))
    rows = bytes((i * 7) & 255 for i in range(((w + 3) // 4 * 4) * h))
    start = 26 + len(pal)
    return (struct.pack("<HiHHi", 0x4D42, start + len(rows), 0, 0, start) +
            struct.pack("<iHHHH", 12, w, h, 1, 8) + pal + rows)


RLE8_ESCAPES = bytes([3, 5, 1, 6, 0, 0, 0, 3, 1, 2, 3, 0, 1, 9, 0, 0, 0, 2, 1, 0, 2, 7, 0, 1])
RLE4_ESCAPES = bytes([5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1])

BITMAPS = {
    "8bit-5x3": bmp(),
    "8bit-topdown": bmp(w=7, h=4, top_down=True),
    "8bit-1x1": bmp(w=1, h=1),
    "8bit-odd-width": bmp(w=13, h=2),
    "8bit-clrused16": bmp(clr_used=16),
    "8bit-clrused300": bmp(clr_used=300, palette=256),
    "8bit-header108": bmp(header=108),
    "8bit-header124": bmp(header=124, w=3, h=2),
    "8bit-trailing": bmp(trailing=b"TAIL"),
    "8bit-bfsize-beyond": bmp(bf_size=5000),
    "8bit-cut-short": bmp(w=16, h=16, truncate=1100),
    "8bit-width0": bmp(w=0, h=3),
    "8bit-height0": bmp(w=4, h=0, trailing=b"\x01\x02\x03\x04"),
    "1bit": bmp(w=9, h=3, bits=1),
    "4bit": bmp(w=5, h=3, bits=4),
    "4bit-topdown": bmp(w=3, h=2, bits=4, top_down=True),
    "24bit": bmp(w=3, h=2, bits=24),
    "32bit": bmp(w=2, h=2, bits=32),
    "16bit": bmp(w=2, h=2, bits=16),
    "rle8": bmp(compression=1),
    "header12": bmp(header=12)[:26],
    "bad-tag": b"XM" + bmp()[2:],
    "header-only": bmp()[:54],
    "huge-height": bmp(w=1, h=1)[:22] + struct.pack("<i", 2000000000) + bmp(w=1, h=1)[26:],
    "os2-core": os2_core(),
    "os2-core-short-table": os2_core(entries=20),
    "os2-16": bmp(header=16)[:14] + bmp(header=16)[14:30] + bmp()[54:],
    "os2-64": bmp(header=64, clr_used=100),
    "8bit-gap": (bmp()[:2] + struct.pack("<i", 1112) + bmp()[6:10] + struct.pack("<i", 1088) +
                 bmp()[14:1078] + b"GAPGAPGAPG" + bmp()[1078:]),
    "rle8": rle_bmp(4, 2, 8, RLE8_ESCAPES),
    "rle8-v5-profile": rle_bmp(4, 2, 8, RLE8_ESCAPES, header=124, profile=b"ICCPROFILE"),
    "rle8-damaged": rle_bmp(4, 2, 8, bytes([5, 3, 0, 1])),
    "rle4": rle_bmp(5, 2, 4, RLE4_ESCAPES),
    "rle8-runs-over-row-padding": rle_bmp(5, 2, 8, bytes([5, 1, 3, 0, 0, 0, 5, 2, 3, 0, 0, 0, 0, 1])),
    "rle8-absolute-past-row-end": rle_bmp(4, 1, 8, bytes([0, 5, 1, 2, 3, 4, 5, 0, 0, 1])),
    "rle8-skipped-pixels": rle_bmp(8, 3, 8, bytes([2, 5, 0, 2, 3, 1, 2, 6, 0, 0, 1, 7, 0, 1])),
    "8bit-bfsize-zero": bmp(bf_size=0),
    "8bit-bfsize-short": bmp(bf_size=1098),
    "os2-core-bfsize-headers": os2_core()[:2] + struct.pack("<i", 794) + os2_core()[6:],
    "8bit-table-into-pixels": bmp(clr_used=256, palette=252),
    "8bit-table-room-for-16": bmp(palette=16),
    "8bit-cut-in-info-header": bmp()[:53],
    "8bit-offbits-past-end": bmp(off_bits=100000),
}


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


for name, data in BITMAPS.items():
    write("bitmap", name, data)

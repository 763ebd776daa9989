#!/usr/bin/env python3
"""Peak memory of tintwell-cli on files whose headers claim far more pixels
than their data holds: an RLE8 stream of one end mark under a header of
2^31 - 1 pixels in one row or one column. Each command must stay within
16 MiB of an empty run (tintwell-cli --version), whatever the header claims.

Usage: claims_bench.py TINTWELL_CLI      (needs GNU time in /usr/bin/time)
Prints one line per command; exits 1 when one goes over.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

LIMIT_KB = 16 * 1024


def rle8(width, height, stream):
    start = 14 + 40 + 1024
    info = struct.pack("<iiiHHiiiiii", 40, width, height, 1, 8, 1, len(stream), 0, 0, 0, 0)
    return struct.pack("<HIHHI", 0x4D42, start + len(stream), 0, 0, start) + info + bytes(1024) + stream


def peak_kb(command):
    run = subprocess.run(["/usr/bin/time", "-f", "%M", *command], capture_output=True, text=True)
    return int(run.stderr.strip().splitlines()[-1]), run.returncode


def main():
    cli = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        files = {"wide": rle8(2**31 - 1, 1, bytes([0, 1])),
                 "tall": rle8(1, 2**31 - 1, bytes([0, 1]))}
        empty, _ = peak_kb([cli, "--version"])
        print(f"{'empty run':44} {empty:>9} KB")
        over = 0
        for name, data in files.items():
            path = os.path.join(tmp, name + ".bmp")
            commands = [("recolor --pairs 0:1", ["recolor", "--no-backup", "-q", "--pairs", "0:1"]),
                        ("recolor --pairs 0:1 --select 0,0,9,9",
                         ["recolor", "--no-backup", "-q", "--pairs", "0:1", "--select", "0,0,9,9"])]
            if name == "wide":  # the tall list would be 12 GiB of text
                commands.append(("export-indices -o /dev/null", ["export-indices", "-o", "/dev/null"]))
            for label, args in commands:
                with open(path, "wb") as f:
                    f.write(data)
                kb, code = peak_kb([cli, *args, path])
                bad = kb - empty > LIMIT_KB
                over += bad
                print(f"{name + ': ' + label:44} {kb:>9} KB  exit {code}{'  OVER' if bad else ''}")
    return 1 if over else 0


if __name__ == "__main__":
    sys.exit(main())

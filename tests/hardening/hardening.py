#!/usr/bin/env python3
"""Tries tintwell-cli's promises about other programs, kills and restore from
outside, in loops bounded by time, and prints what it counted.

Usage: hardening.py LOOP CLI [SECONDS]
  LOOP is writers, restore or kills; SECONDS (default 20, at most 60) bounds it.
  TINTWELL_HARDENING_AS=nobody runs the writers loop's recolours as user 65534
  on files of root's (run as root): no lease can be taken then.
Exits 1 when a write, a result or a backup was lost, shared or torn.

Every image carries a version number in the file header's reserved bytes,
which a recolour never changes, and every pixel holds the version modulo 100;
the recolour used maps 0..99 to 100..199, so a recoloured image is known by
its pixels. A torn file mixes pixels of two versions or has the wrong size.
"""
import os
import random
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time

WIDTH, HEIGHT = 256, 256
PAIRS = "0-99:100-199"


def bmp(version, width=WIDTH, height=HEIGHT, pixel=None):
    pixel = version % 100 if pixel is None else pixel
    stride = (width + 3) & ~3
    palette = b"".join(struct.pack("<BBBB", i, 255 - i, i // 2, 0) for i in range(256))
    offset = 14 + 40 + len(palette)
    size = offset + stride * height
    head = struct.pack("<2sIIIIiiHHIIiiII", b"BM", size, version, offset, 40, width, height,
                       1, 8, 0, stride * height, 2835, 2835, 0, 0)
    return head + palette + bytes([pixel]) * (stride * height)


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return None


def describe(data, width=WIDTH, height=HEIGHT):
    """(version, recoloured) of a whole image, or None for a torn or foreign one."""
    if data is None or len(data) != len(bmp(0, width, height)) or data[:2] != b"BM":
        return None
    version = struct.unpack_from("<I", data, 6)[0]
    pixels = data[14 + 40 + 1024:]
    first = pixels[0]
    if pixels.count(first) != len(pixels) or first % 100 != version % 100:
        return None
    return version, first >= 100


AS_OTHER_USER = os.environ.get("TINTWELL_HARDENING_AS") == "nobody"


def cli(tool, *args, timeout=60):
    user = ["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"] if AS_OTHER_USER else []
    return subprocess.run([*user, tool, *args], capture_output=True, text=True, timeout=timeout)


def backups_of(folder):
    b = os.path.join(folder, "Tintwell Backup")
    if not os.path.isdir(b):
        return []
    return [os.path.join(b, n) for n in sorted(os.listdir(b)) if not n.startswith(".")]


def write_version(path, version, mode):
    data = bmp(version)
    if mode == "truncate":
        fd = os.open(path, os.O_WRONLY | os.O_TRUNC | os.O_CREAT, 0o644)
    elif mode == "in place":
        fd = os.open(path, os.O_WRONLY)
    else:
        temp = path + ".writer-temp"
        fd = os.open(temp, os.O_WRONLY | os.O_TRUNC | os.O_CREAT, 0o644)
    os.write(fd, data)
    os.fchmod(fd, 0o666)
    os.close(fd)
    if mode == "rename":
        os.rename(temp, path)


def loop_writers(tool, seconds):
    """Another program writes w.bmp 150 times a round while recolours run on it."""
    counts = {}
    deadline = time.monotonic() + seconds
    modes = ["truncate", "in place", "rename"]
    bad = 0
    while time.monotonic() < deadline:
        for mode in modes:
            c = counts.setdefault(mode, dict(rounds=0, writes=0, lost=0, last_lost=0, tried=0,
                                             recolored=0, backups=0, torn_backups=0, shared=0))
            work = tempfile.mkdtemp(prefix="tw-writers-")
            os.chmod(work, 0o777)
            path = os.path.join(work, "w.bmp")
            write_version(path, 1, "truncate")
            stop = threading.Event()
            said = []

            def recolour():
                while not stop.is_set():
                    r = cli(tool, "recolor", "--pairs", PAIRS, "--backup", "-j", "1", "-q", path)
                    said.append(r.returncode == 0)

            runner = threading.Thread(target=recolour)
            runner.start()
            last = 1
            for version in range(2, 152):
                seen = describe(read(path))
                # A write is lost when the file went back to an older version.
                if seen is None or seen[0] < last:
                    c["lost"] += 1
                write_version(path, version, mode)
                last = version
                c["writes"] += 1
                time.sleep(random.uniform(0, 0.002))
            stop.set()
            runner.join()
            seen = describe(read(path))
            if seen is None or seen[0] != last:
                c["last_lost"] += 1
            c["rounds"] += 1
            c["recolored"] += sum(said)
            c["tried"] += len(said)
            for b in backups_of(work):
                st = os.stat(b)
                c["backups"] += 1
                if describe(read(b)) is None:
                    c["torn_backups"] += 1
                if st.st_nlink > 1:
                    c["shared"] += 1
            shutil.rmtree(work)
            if time.monotonic() >= deadline:
                break
    for mode, c in counts.items():
        print(f"writer that {'writes a temporary and renames it' if mode == 'rename' else mode + 's' if mode == 'truncate' else 'writes in place'}: "
              f"{c['lost']} of {c['writes']} writes lost, last save lost in {c['last_lost']} of "
              f"{c['rounds']} rounds, {c['recolored']} of {c['tried']} recolours done, "
              f"{c['torn_backups']} torn and {c['shared']} shared of {c['backups']} backups")
        bad += c["lost"] + c["last_lost"] + c["torn_backups"] + c["shared"]
    return bad


def loop_restore(tool, seconds):
    """A recolour and a restore of the same file started together."""
    races = lost_results = replaced_restores = recolored = restored = 0
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        work = tempfile.mkdtemp(prefix="tw-restore-")
        folder = os.path.join(work, "Tintwell Backup")
        os.mkdir(folder)
        names = [f"f{i}.bmp" for i in range(4)]
        for i, name in enumerate(names):
            stem = name[:-4]
            with open(os.path.join(folder, name), "wb") as f:
                f.write(bmp(10 + i * 10))
            with open(os.path.join(folder, f"{stem}-001.bmp"), "wb") as f:
                f.write(bmp(11 + i * 10))
            with open(os.path.join(work, name), "wb") as f:
                f.write(bmp(12 + i * 10))
        procs = [subprocess.Popen([tool, "recolor", "--pairs", PAIRS, "--backup", "-j", "2", work],
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True),
                 subprocess.Popen([tool, "restore", work], stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE, text=True)]
        outs = [p.communicate(timeout=60) for p in procs]
        refused = outs[0][1]
        for name in names:
            races += 1
            path = os.path.join(work, name)
            stem = name[:-4]
            states = [describe(read(path))] + [describe(read(b)) for b in backups_of(work)
                                               if os.path.basename(b).startswith(stem)]
            if f'"{path}"' not in refused:
                recolored += 1
                if not any(s and s[1] for s in states):
                    lost_results += 1
            for line in outs[1][0].splitlines():
                if line.startswith(f'Restored "{path}" from "'):
                    restored += 1
                    source = describe(read(os.path.join(folder, line.split('"')[3])))
                    if source is None or states[0] is None or states[0][0] != source[0]:
                        replaced_restores += 1
        shutil.rmtree(work)
    print(f"restore against recolour: {races} file races, {recolored} recolours and {restored} "
          f"restores reported done; {lost_results} results in neither the file nor a backup, "
          f"{replaced_restores} restores silently replaced")
    return lost_results + replaced_restores


def loop_kills(tool, seconds):
    """Recolours and restores killed at random moments; every file and backup checked."""
    kills = checked = half = shared = torn = 0
    deadline = time.monotonic() + seconds
    work = tempfile.mkdtemp(prefix="tw-kills-")
    names = [f"k{i}.bmp" for i in range(12)]
    for i, name in enumerate(names):
        with open(os.path.join(work, name), "wb") as f:
            f.write(bmp(i, 512, 512))
    while time.monotonic() < deadline:
        if random.random() < 0.75:
            args = ["recolor", "--pairs", random.choice([PAIRS, "100-199:0-99"]), "--backup", "-q",
                    "-j", "2"]
        else:
            args = ["restore", "-q"]
        p = subprocess.Popen([tool, *args, work], stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
        time.sleep(random.uniform(0, 0.06))
        p.send_signal(signal.SIGKILL)
        p.wait()
        kills += 1
        live = {}
        for name in names:
            path = os.path.join(work, name)
            checked += 1
            if describe(read(path), 512, 512) is None:
                half += 1
            st = os.stat(path)
            live[(st.st_dev, st.st_ino)] = path
        for b in backups_of(work):
            st = os.stat(b)
            checked += 1
            if (st.st_dev, st.st_ino) in live:
                shared += 1
            if describe(read(b), 512, 512) is None:
                torn += 1
        if len(backups_of(work)) > 900:  # keep every run's numbering in reach
            shutil.rmtree(os.path.join(work, "Tintwell Backup"))
    shutil.rmtree(work)
    print(f"kills: {kills} kills, {checked} file checks; {half} half-written files, "
          f"{shared} backups sharing a live file's inode, {torn} torn backups")
    return half + shared + torn


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("writers", "restore", "kills"):
        print(__doc__, file=sys.stderr)
        return 2
    seconds = min(float(sys.argv[3]) if len(sys.argv) > 3 else 20.0, 60.0)
    seconds = min(seconds, float(os.environ.get("TINTWELL_HARDENING_SECONDS", seconds)))
    loop = {"writers": loop_writers, "restore": loop_restore, "kills": loop_kills}[sys.argv[1]]
    return 1 if loop(os.path.abspath(sys.argv[2]), seconds) else 0


if __name__ == "__main__":
    sys.exit(main())

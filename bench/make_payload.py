#!/usr/bin/env python3
"""A benchmark product's payload of incompressible files, reproducible from a fixed seed.

  make_payload.py LOOSE_DIR SCRIPT COUNT TOTAL_BYTES LOW HIGH [PER_FOLDER]

Sizes are drawn from LOW..HIGH bytes and, when TOTAL_BYTES is not 0, scaled to that total with
their spread kept. With PER_FOLDER the files lie in folders of that many. SCRIPT receives the
[FILES] section naming every file, and SCRIPT's folder names.txt lists them, one a line.
"""
import os
import random
import sys

loose, script_path = sys.argv[1], sys.argv[2]
count, total, low, high = map(int, sys.argv[3:7])
per_folder = int(sys.argv[7]) if len(sys.argv) > 7 else 0
rng = random.Random(20261207)
sizes = [rng.randint(low, high) for _ in range(count)]
if total:
    sizes = [max(1, s * total // sum(sizes)) for s in sizes]
    sizes[-1] += total - sum(sizes)
script = ["[FILES]", "total=%d" % count]
with open(os.path.join(os.path.dirname(script_path), "names.txt"), "w", newline="") as names:
    for i, size in enumerate(sizes):
        folder = "d%03d" % (i // per_folder) if per_folder else ""
        if folder:
            os.makedirs(os.path.join(loose, folder), exist_ok=True)
        with open(os.path.join(loose, folder, "file%05d.bin" % i), "wb") as f:
            f.write(os.urandom(size))
        name = (folder + "\\" if folder else "") + "file%05d.bin" % i
        names.write(name + "\r\n")
        script += ["filesrc%d=%s" % (i, name), "filedst%d=%s" % (i, name)]
with open(script_path, "w", newline="") as f:
    f.write("\r\n".join(script) + "\r\n")

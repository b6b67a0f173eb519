#!/usr/bin/env python3
"""A benchmark product of real files from the Debian packages on this machine: Windows
executables and libraries (Wine's own), text (package documentation) and pictures (icons), in
folders, chosen the same way on every machine that has the packages.

  real_payload.py LOOSE_DIR SCRIPT [MEGABYTES]

SCRIPT receives the [DIRECTORIES] section making its folders and the [FILES] section naming every file, and SCRIPT's folder names.txt lists them,
one a line. Prints what was taken; exits 1 when the machine holds too little of it.
"""
import glob
import os
import shutil
import sys

loose, script_path = sys.argv[1], sys.argv[2]
budget = int(sys.argv[3] if len(sys.argv) > 3 else 150) * 1024 * 1024
SOURCES = [  # (folder in the product, pattern, share of the budget, most files, largest file taken)
    ('bin', '/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.exe', 0.20, 80, 8 << 20),
    ('lib', '/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/*.dll', 0.65, 250, 8 << 20),
    ('doc', '/usr/share/doc/*/copyright', 0.04, 150, 1 << 20),
    ('doc', '/usr/share/doc/*/changelog.Debian.gz', 0.04, 50, 1 << 20),
    ('pictures', '/usr/share/icons/*/*/*/*.png', 0.07, 150, 1 << 20),
]
taken, names = [], []
for folder, pattern, share, most, largest in SOURCES:
    files = sorted(p for p in glob.glob(pattern) if os.path.isfile(p) and 0 < os.path.getsize(p) <= largest)
    room = int(budget * share)
    # Every k-th file, so that the choice spreads over the whole list.
    step = max(1, len(files) // most)
    for path in files[::step][:most]:
        if room <= 0:
            break
        parts = [folder] + [p for p in os.path.relpath(path, '/').split(os.sep)[-2:] if p]
        name = '\\'.join(parts)
        if name.lower() in (n.lower() for n in names):
            continue
        target = os.path.join(loose, *parts)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(path, target)
        room -= os.path.getsize(path)
        names.append(name)
        taken.append(os.path.getsize(path))
if len(names) < 200 or sum(taken) < 50 * 1024 * 1024:
    print('real payload: only %d files, %d bytes found on this machine' % (len(names), sum(taken)))
    sys.exit(1)
folders = sorted({'\\'.join(n.split('\\')[:k]) for n in names for k in range(1, n.count('\\') + 1)},
                 key=lambda f: (f.count('\\'), f.lower()))
script = ['[DIRECTORIES]', 'total=%d' % len(folders)] + ['dir%d=%s' % (i, f) for i, f in enumerate(folders)]
script += ['[FILES]', 'total=%d' % len(names)]
for i, name in enumerate(names):
    script += ['filesrc%d=%s' % (i, name), 'filedst%d=%s' % (i, name)]
with open(script_path, 'w', newline='') as f:
    f.write('\r\n'.join(script) + '\r\n')
with open(os.path.join(os.path.dirname(script_path), 'names.txt'), 'w', newline='') as f:
    f.write(''.join(n + '\r\n' for n in names))
print('real payload: %d files, %.1f MB (executables, libraries, text, pictures)' % (len(names), sum(taken) / 2 ** 20))

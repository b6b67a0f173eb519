#!/usr/bin/env python3
"""The end-to-end benchmark's figures of one payload at one width, from its round times.

  rounds.py round TAG TIMES ROUND     prints the times of one round
  rounds.py summary TAG TIMES KEY     prints the medians, ratios and the one file's cost

TIMES holds a line "ROUND NAME SECONDS" for each timed run (NAME as end_to_end.sh's contestants,
or "uninstall"); round 0 is the first round, which is not counted. Every line printed starts
with [TAG], which names the payload, the width and the peer's stub. A ratio is the median of the
rounds' own ratios, so that both sides of each meet the same load. summary records the figures
the targets are judged by as time.KEY.* (see bench/common.sh) and exits 1 when one of them
could not be measured.
"""
import os
import statistics
import sys

NAMES = [  # (name in TIMES, what it is)
    ('ours-lzma', 'our silent install, lzma form'),
    ('ours-deflate', 'our silent install, deflate form'),
    ('ours-one', 'our one file, lzma form'),
    ('peer-zlib', 'peer silent install, zlib'),
    ('peer-solid', 'peer silent install, solid lzma'),
    ('uninstall', 'our uninstall (Add/Remove)'),
]
RATIOS = [  # (figure, peer, ours, what it compares)
    ('lzma_vs_solid', 'peer-solid', 'ours-lzma', 'our lzma vs peer solid lzma'),
    ('lzma_vs_zlib', 'peer-zlib', 'ours-lzma', 'our lzma vs peer zlib'),
    ('deflate_vs_zlib', 'peer-zlib', 'ours-deflate', 'our deflate vs peer zlib'),
]


def read_rounds(path):
    """{round: {name: [seconds, ...]}} of the rounds after the first."""
    rounds = {}
    with open(path) as times:
        for line in times:
            number, name, seconds = line.split()
            rounds.setdefault(int(number), {}).setdefault(name, []).append(float(seconds))
    return rounds


def paired(rounds, first, second, combine):
    """combine(first's time, second's time) of each counted round that timed both."""
    return [combine(r[first][0], r[second][0]) for n, r in sorted(rounds.items())
            if n > 0 and first in r and second in r]


def spread(values, unit='', form='%.2f'):
    """"median M (of N rounds, spread LOW to HIGH)", each figure followed by unit."""
    figure = form + unit
    return ('median ' + figure + ' (of %d rounds, spread ' + figure + ' to ' + figure + ')') % (
        statistics.median(values), len(values), min(values), max(values))


def record(key, values):
    if os.environ.get('BENCH_FIGURES'):
        with open(os.environ['BENCH_FIGURES'], 'a') as figures:
            figures.write('%s %.3f %.3f %.3f\n' % (key, statistics.median(values), min(values), max(values)))


def print_round(tag, rounds, number):
    times = rounds.get(number, {})
    parts = ['%s %s s' % (name, ' '.join('%.2f' % t for t in times[name])) if name in times else '%s failed' % name
             for name, _ in NAMES]
    print('[%s] round %d: %s' % (tag, number, ', '.join(parts)))


def summary(tag, rounds, key):
    missing = []
    for name, what in NAMES:
        times = [t for n, r in rounds.items() if n > 0 for t in r.get(name, [])]
        if times:
            print('[%s] %-34s %s' % (tag, what + ':', spread(times, ' s')))
        else:
            missing.append(what)
    for figure, peer, ours, what in RATIOS:
        ratios = paired(rounds, peer, ours, lambda p, o: p / o)
        if ratios:
            print('[%s] ratio peer time / our time, %s: %s' % (tag, what, spread(ratios)))
            record('time.%s.ratio.%s' % (key, figure), ratios)
        else:
            missing.append('ratio, ' + what)
    extra = paired(rounds, 'ours-one', 'ours-lzma', lambda one, folder: one - folder)
    ratios = paired(rounds, 'ours-one', 'ours-lzma', lambda one, folder: one / folder)
    if extra:
        print('[%s] our one file over our folder form (lzma): %s' % (tag, spread(extra, ' s', '%+.2f')))
        print('[%s] ratio one-file time / folder time (lzma): %s' % (tag, spread(ratios)))
        record('time.%s.one_file_extra' % key, extra)
    else:
        missing.append('the one file against the folder form')
    for what in missing:
        print('[%s] not measured: %s' % (tag, what))
    return 1 if missing else 0


def main():
    command, tag, path, last = sys.argv[1:5]
    rounds = read_rounds(path)
    if command == 'round':
        print_round(tag, rounds, int(last))
        return 0
    return summary(tag, rounds, last)


if __name__ == '__main__':
    sys.exit(main())

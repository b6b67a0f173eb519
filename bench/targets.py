#!/usr/bin/env python3
"""The benchmark's targets, each judged by the figure measured for it.

  targets.py FIGURES WIDTH...

FIGURES holds the figures the benchmarks recorded, a line "KEY VALUE [LOWEST HIGHEST]" each
(bench/common.sh); WIDTH names each width whose installs were timed (i686, x86_64). Prints a
line for each target: its figure and whether it holds. A target not met is a result like any
other; a figure that is missing is not, and makes the exit status 1.
"""
import sys

STUBS = {'i686': 'x86-ansi', 'x86_64': 'amd64-unicode'}


def read_figures(path):
    figures = {}
    with open(path) as lines:
        for line in lines:
            key, *values = line.split()
            if values:
                figures[key] = [float(v) for v in values]
    return figures


def size_ratio(figures, payload, width):
    """Our one file against the peer's solid lzma installer, both at that width."""
    ours, peer = figures.get('size.%s.one_file.%s' % (payload, width)), figures.get('size.%s.peer.%s.solid' % (payload, width))
    return [ours[0] / peer[0]] if ours and peer else None


def targets(figures, widths):
    """(what, figure values or None, test, bound, unit) for every target."""
    setup = figures.get('size.setup_i686')
    listed = [('setup.exe (i686) at most 192 KB', setup and [setup[0] / 1024], '<=', 192, ' KB')]
    for width in widths:
        tag = '%s build, peer\'s %s stub' % (width, STUBS[width])
        time = lambda payload, figure: figures.get('time.%s.%s.%s' % (width, payload, figure))
        listed += [
            ('[real, %s] our lzma one file at most the size of the peer\'s solid lzma installer' % tag,
             size_ratio(figures, 'real', width), '<=', 1.0, 'x'),
            ('[real, %s] our lzma install at least 1.3x as fast as the peer\'s solid lzma' % tag,
             time('real', 'ratio.lzma_vs_solid'), '>=', 1.3, 'x'),
            ('[real, %s] our lzma install at least as fast as the peer\'s zlib' % tag,
             time('real', 'ratio.lzma_vs_zlib'), '>=', 1.0, 'x'),
            ('[real, %s] our deflate install at least 1.3x as fast as the peer\'s zlib' % tag,
             time('real', 'ratio.deflate_vs_zlib'), '>=', 1.3, 'x'),
            ('[incompressible, %s] our deflate install at least as fast as the peer\'s zlib' % tag,
             time('incompressible', 'ratio.deflate_vs_zlib'), '>=', 1.0, 'x'),
        ]
        for payload in ('incompressible', 'real'):
            listed.append(('[%s, %s build] our one file at most 0.25 s over the folder form' % (payload, width),
                           time(payload, 'one_file_extra'), '<=', 0.25, ' s'))
    listed.append(('[large, deflate form, x86_64] copy step at least as fast as raw copy',
                   figures.get('copy.large.deflate'), '>=', 1.0, 'x'))
    return listed


def main():
    figures = read_figures(sys.argv[1])
    widths = sys.argv[2:]
    missing = 0 if widths else 1
    if not widths:
        print('target: no width was timed, so no install target could be judged')
    for what, values, test, bound, unit in targets(figures, widths):
        if not values:
            print('target %s: not measured' % what)
            missing += 1
            continue
        held = values[0] <= bound if test == '<=' else values[0] >= bound
        spread = ' (spread %.2f to %.2f)' % (values[1], values[2]) if len(values) == 3 else ''
        print('target %s: %.2f%s%s, %s' % (what, values[0], unit, spread, 'met' if held else 'not met'))
    return 1 if missing else 0


if __name__ == '__main__':
    sys.exit(main())

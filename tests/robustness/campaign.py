"""The robustness campaign: runs the real setup.exe under Wine (through runner.exe, one session for
all cases) on damaged inputs and under faults, judges each case and prints one JSON line a case.
  campaign.py run DRIVE_C RUNNER_CMD... --setup EXE --hook DLL [--cases N --seed S --shard I/N --only K]
  campaign.py report KNOWN_OPEN RESULTS.json... [--table docs/reliability.md]"""
import argparse
import json
import os
import random
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import inputs  # noqa: E402

NOISE_KEYS = ['HKLM\\System', 'HKCU\\Software\\Wine', 'HKLM\\Software\\Wine', 'HKCU\\Volatile Environment',
              'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer', 'HKCU\\Software\\Microsoft\\Windows NT',
              'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer',
              'HKLM\\Software\\Quorvane\\Vemmick']  # the version stamp stays after an uninstall
MENU = 'ProgramData/Microsoft/Windows/Start Menu/Programs/'
UNINSTALL_KEY = 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'


class Harness:
    def __init__(self, drive_c, runner, setup, hook):
        self.c, self.setup, self.hook, self.results, self.current = drive_c, setup, hook, [], None
        self.proc = subprocess.Popen(runner, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        for key in ('HKLM\\Software\\RbSentinel', 'HKLM\\Software\\RbProd', 'HKCU\\Software\\RbProd'):
            self.ask('reg', key, 'v', 'sz', 'x')
        self.victim()

    def ask(self, *fields):
        self.proc.stdin.write(('\t'.join(map(str, fields)) + '\n').encode('latin-1'))
        self.proc.stdin.flush()
        lines = []
        for line in iter(self.proc.stdout.readline, b''):
            if line.rstrip(b'\r\n') == b'END':
                return lines
            lines.append(line.decode('latin-1').rstrip('\r\n'))
        raise RuntimeError('the runner ended')

    def victim(self):
        """Another product's keys, which no case may touch; then a fresh registry snapshot."""
        self.ask('reg', 'HKLM\\Software\\Quorvane\\RbVictim\\uninstall', 'filetotal', 'dw', '0')
        self.ask('reg', UNINSTALL_KEY + 'RbVictim', 'DisplayName', 'sz', 'RbVictim')
        self.ask('snap')

    def tree(self):
        """path -> (size, mtime) of drive C:, of the rb folder only the current case."""
        found = {}
        for root, dirs, names in os.walk(self.c):
            rel = os.path.relpath(root, self.c).replace(os.sep, '/') + '/'
            dirs[:] = [d for d in dirs if rel != 'rb/' or d == self.current]
            for name in dirs + names:
                st = os.lstat(os.path.join(root, name))
                found[(rel + name).lstrip('./')] = (st.st_size, st.st_mtime_ns) if name in names else 'dir'
        return found


class Case:
    """One case's folders (C:\\rb\\<id>\\src, inst, tmp; the product goes to inst\\P), runs and verdict."""
    def __init__(self, h, kind, n, name):
        self.h, self.kind, self.n, self.name, self.runs = h, kind, n, name, []
        h.current = '%s-%d' % (kind.split()[0].replace('.', ''), n)
        self.rel = 'rb/' + h.current
        shutil.rmtree(self.path(), ignore_errors=True)
        for sub in ('src', 'tmp', 'inst'):
            os.makedirs(self.path(sub))
        self.files = h.tree()

    def path(self, *parts):
        return os.path.join(self.h.c, self.rel, *'/'.join(parts).replace('\\', '/').split('/'))

    def win(self, *parts):
        return 'C:\\' + '\\'.join((self.rel,) + parts).replace('/', '\\')

    def put(self, name, data):
        os.makedirs(os.path.dirname(self.path(name)), exist_ok=True)
        open(self.path(name), 'wb').write(data)

    def product(self, rng, sub='src', ini=None, dat=None, made=None):
        files, script = made or inputs.product(rng, self.name)
        os.makedirs(self.path(sub), exist_ok=True)
        for name, source in (('setup.exe', self.h.setup), ('dsetup.dll', self.h.hook)):
            shutil.copy(source, self.path(sub, name))
        for name, data in (('files.dat', dat or inputs.pack_files_dat(rng, files)[0]), ('dep.txt', b'dependency\r\n'),
                           ('show_pages.txt', b''),
                           ('setup.ini', ini or inputs.render(script))):
            self.put(sub + '/' + name, data)
        return files, script

    def run(self, where, line, timeout=20000, temp='tmp', lines=1, log=True):
        """Runs `lines` setups at once from `where`, each with a log of its own."""
        logs = ['run%d-%d.log' % (len(self.runs), i) for i in range(lines)]
        cmds = ['%s\\setup.exe %s' % (self.win(where), line) + (' /log=' + self.win('tmp', x)) * log for x in logs]
        out = self.h.ask('run', timeout, self.win(where if where == 'src' else 'tmp'), self.win(temp), *cmds)
        result = next(x for x in out if x.startswith('RESULT')).split('\t')
        self.runs.append({'status': result[1], 'codes': [int(c) for c in result[2:]], 'log': self.path('tmp', logs[0]),
                          'boxes': [x[4:] for x in out if x.startswith('BOX\t')]})
        return self.runs[-1]

    def install(self, timeout=20000):
        self.put('src/target.txt', self.win('inst', 'P').encode())
        return self.run('src', '/silent', timeout)  # silent: no windows to paint, so five times as fast

    def uninstall(self, temp='tmp', lines=1, name=None):
        if os.path.exists(self.path('inst/P/setup.exe')):
            return self.run('inst\\P', '-u1 "%s" 1' % (name or self.name), 30000, temp, lines)

    def log(self, r):
        return open(r['log'], errors='replace').read() if r and os.path.exists(r['log']) else ''

    def whole(self, files):
        """What a run that ended with status 0 must have put in place."""
        read = lambda f: open(self.path('inst/P', f), 'rb').read() if os.path.isfile(self.path('inst/P', f)) else None  # noqa
        return ['false success: %s %s' % (f, 'missing' if read(f) is None else 'differs') for f in files if read(f) != files[f]]

    def leftovers(self):
        return ['left after uninstall: ' + p for p in ('inst/P', '../../' + MENU + self.name) if os.path.exists(self.path(p))]

    def judge(self, row, problems, keys=(), dirs=(), strict=False):
        for r in self.runs:
            problems += ['hang'] * (r['status'] == 'timeout') + ['not started'] * (0xFFFFFFFF in r['codes'])
            problems += ['ended by exception %#x' % c for c in r['codes'] if 0xC0000000 <= c < 0xFFFFFFFF]
            problems += ['crash dialog'] * any(re.search('Unhandled|Program Error|exception', b) for b in r['boxes'])
        now, allowed = self.h.tree(), tuple(a + '/' for a in ['src', 'tmp', 'inst/P'])
        allowed = tuple(self.rel + '/' + a for a in allowed) + tuple(a + '/' for a in [MENU + self.name] + list(dirs))
        escaped = sorted(p for p in set(now) | set(self.files) if now.get(p) != self.files.get(p)
                         and not (p + '/').startswith(allowed) and not (p.startswith('windows/') and p in now))
        problems += ['file outside: ' + ', '.join(escaped[:3])] * bool(escaped)
        own = [] if strict else ['HKLM\\Software\\Quorvane\\' + self.name, 'HKLM\\Software\\RbProd\\' + self.name,
                                 'HKCU\\Software\\RbProd\\' + self.name, UNINSTALL_KEY + self.name,
                                 'HKLM\\Software\\Classes\\.' + self.name.lower()]
        reg = [x[4:] for x in self.h.ask('diff', *NOISE_KEYS + own + list(keys))]
        problems += ['registry %s: %s' % ('left' if strict else 'outside', ', '.join(reg[:3]))] * bool(reg)
        result = {'kind': self.kind, 'row': row, 'n': self.n, 'problems': problems, 'codes': [r['codes'] for r in self.runs]}
        if problems:  # the case's folder stays for a look; the logs' ends go with the result
            result['logs'] = [self.log(r)[-800:] for r in self.runs]
            self.h.victim()
        else:
            shutil.rmtree(self.path(), ignore_errors=True)
        self.h.results.append(result)
        print(json.dumps(result), flush=True)


def setup_ini(h, rng, n, forced=None):
    """Installs the damaged product and, when that succeeded, uninstalls it: nothing may stay."""
    c = Case(h, 'setup.ini', n, 'RbI%d' % n)
    files, script = inputs.product(rng, c.name)
    script[0][1][0][1] = forced or c.name
    row, text = ('hostile product name', inputs.render(script)) if forced else inputs.setup_ini(rng, script)
    c.product(rng, ini=text, made=(files, script))
    problems, r = [], c.install(10000)
    if r['codes'] == [0]:  # files the script still names are whole; the uninstall of its product leaves nothing
        problems += [p for p in c.whole(files) if p.endswith('differs')]
        c.uninstall(name=(re.findall(r'Quorvane\\(.*)\\uninstall, "filetotal"', c.log(r)) or [c.name])[0])
        problems += c.leftovers()
    c.judge(row, problems, strict=True)


REGRESSION = {'setup.ini': ['a\\b', '..\\..']}  # product names of a defect found before


def files_dat(h, rng, n):
    """Installs over an existing file from a damaged archive: no partial, stray or lost file."""
    c = Case(h, 'files.dat', n, 'RbF%d' % n)
    files, script = inputs.product(rng, c.name)
    row, blob = inputs.files_dat(rng, files)
    c.product(rng, dat=blob, made=(files, script))
    c.put('inst/P/a.txt', b'an existing file that must survive\r\n')
    problems = c.whole(files) if c.install(10000)['codes'] == [0] else []
    for f, data in files.items():
        now = open(c.path('inst/P', f), 'rb').read() if os.path.isfile(c.path('inst/P', f)) else None
        problems += ['partial file ' + f] * (now not in (None, data) and not now.startswith(b'an existing'))
    problems += ['existing file destroyed'] * (not os.path.isfile(c.path('inst/P/a.txt')))
    problems += ['stray file ' + f for f in os.listdir(c.path('inst/P')) if f not in
                 ('a.txt', 'b.bin', 'sub', 'setup.exe', 'dsetup.dll', 'package.dat')]
    c.judge(row, problems)


def package_dat(h, rng, n):
    c = Case(h, 'package.dat', n, 'RbP%d' % n)
    row, blob = inputs.package_dat(rng)
    c.product(rng, 'inst/P')
    c.put('inst/P/package.dat', blob)
    c.put('tmp/keep.txt', b'keep')
    c.uninstall()
    c.judge(row, [] if os.path.exists(c.path('tmp/keep.txt')) else ['temporary file lost'])


def uninstall_record(h, rng, n):
    c = Case(h, 'uninstall record', n, 'RbR%d' % n)
    c.product(rng, 'inst/P')
    c.put('inst/P/f0.txt', b'f0')
    row, record = inputs.record(rng, c.name, c.win('inst', 'P'))
    h.ask('reg', 'HKLM\\Software\\RbProd\\' + c.name, 'Dir', 'sz', c.win('inst', 'P'))
    for value, data in record.items():
        h.ask('reg', 'HKLM\\Software\\Quorvane\\%s\\uninstall' % c.name, value, 'dw' if isinstance(data, int) else 'sz', data)
    h.ask('diff')  # what the case set up is not the run's doing
    c.uninstall()
    h.ask('reg', 'HKLM\\Software\\RbSentinel', 'v', 'sz', 'x')  # the record's own value, put back
    c.judge(row, [])


def command_line(h, rng, n):
    c = Case(h, 'command line', n, 'RbC%d' % n)
    c.product(rng)
    row, line = inputs.command_line(rng, {'name': c.name, 'dir': c.win('inst'), 'tmp': c.win('tmp'), 'long': 'L' * 600})
    c.run('src', line, 15000, log=False)
    c.uninstall()  # a product a run installed goes again
    c.judge(row, [], [], ['Program Files/' + c.name])


# Where a fault strikes, "WHERE N [TEXT]" for the hook library: a hook's N-th call, or the N-th
# system call changing a file or key whose name holds TEXT (before the change is made).
INSTALL_STEPS = {'directories': 'CreateDirectoryA 2 \\P', 'copy files': 'CopyFileBefore 2',
                 'start menu': 'CreateDirectoryA 1 Start Menu', 'associations': 'RegCreateKeyExA 1 .rbx',
                 'version stamp': 'RegSetValueExA 1 _tmaj', 'package': 'CreateFileA 1 package.dat',
                 'registry entries': 'RegCreateKeyExA 1 RbProd', 'uninstall record': 'RegSetValueExA 2 total'}
REMOVALS = {'file removed': 'DeleteFileA 2 \\P\\', 'value removed': 'RegDeleteValueA 1', 'key removed':
            'RegDeleteKeyA 1 RbProd', 'association removed': 'RegDeleteKeyA 1 .rbx', 'directory removed':
            'RemoveDirectoryA 1', 'record removed': 'RegDeleteKeyA 1 uninstall'}
HOOKS = {'install': ['SetupCreate', 'BeforeReadyDialog', 'CopyBefore', 'CopyFileBefore', 'CopyFileAfter', 'CopyAfter',
                     'BeforeCompleteDialog', 'SetupDestroy'],
         'uninstall': ['UninstallCreate', 'AfterVerifyUninstallDialog', 'UninstallDestroy']}
FAULTS = ([('install', 'killed at', s, p) for s, p in INSTALL_STEPS.items()]
          + [('uninstall', 'killed at', s, p) for s, p in REMOVALS.items()]
          + [(st, 'hook crash', x, x + ' 1') for st in HOOKS for x in HOOKS[st]]
          + [('install', 'replacing, the old uninstall crashes in', 'UninstallCreate', 'UninstallCreate 1')]
          + [(st, how, where, '') for st, how, where in [
              ('install', 'file held', 'a.txt'), ('uninstall', 'file held', 'a.txt'), ('install', 'read-only', 'folder'),
              ('install', 'disk full', 'F:'), ('uninstall', 'temp', 'missing'), ('uninstall', 'temp', 'read-only'),
              ('uninstall', 'twice at once', '')]])
SAMPLE_FAULTS = [1, 4, 9, 12, 17, 22, 25, 26, 27, 30]  # of each kind one, without a mount or a race


def mounted(target, options):
    os.makedirs(target, exist_ok=True)
    how = ['-t', 'tmpfs', '-o', options, 'tmpfs'] if 'size' in options else ['--bind', '-o', options, target]
    return subprocess.run(['mount'] + how + [target], capture_output=True).returncode == 0


def fault(h, rng, n):
    """The fault, then the product again: an install must succeed, the uninstall after it leave nothing."""
    stage, how, where, point = FAULTS[n]
    c = Case(h, 'faults', n, 'RbX%d' % n)
    files, _ = c.product(rng)
    row, problems, r = ' '.join((stage, how, where)).strip(), [], c.install() if stage == 'uninstall' else None
    disk, again = os.path.join(h.c, '..', 'rb-disk'), (c.install if stage == 'install' else c.uninstall)
    if how.startswith('replacing'):
        c.install()
        c.put('src/replace.txt', b'')
    if point:
        spot = point.split(' ', 2)
        c.put('tmp/fault.txt', ' '.join([spot[0], 'kill' if how == 'killed at' else 'crash'] + spot[1:]).encode())
        r = again()
        problems += ['the fault did not happen'] * (not os.path.exists(c.path('tmp/fault-hit.txt')))
        status = (re.findall('exit status (\\d+)', c.log(r)) or ['none'])[-1]
        problems += ['exit status %s after a crashing hook, not 2' % status] * (how == 'hook crash' and status != '2')
    elif how == 'file held':
        r = c.install() if stage == 'install' else None
        h.ask('hold', c.win('inst', 'P', 'a.txt'))
        r = again()
        h.ask('release')
        told = r and (any('a.txt' in b for b in r['boxes']) or 'a.txt' in c.log(r))
        problems += ['held file not reported'] * (stage == 'uninstall' and not told)
        shutil.rmtree(c.path('inst/P'), ignore_errors=True) if stage == 'uninstall' else None
    elif how in ('read-only', 'disk full') or where == 'read-only':
        target = c.path('tmp/ro') if stage == 'uninstall' else c.path('inst/P') if how == 'read-only' else disk
        if not mounted(target, 'size=96k' if how == 'disk full' else 'ro'):
            row += ' (skipped: mount is not permitted here)'
        elif how == 'disk full':
            open(os.path.join(disk, 'filler'), 'wb').write(b'\0' * 60000)
            os.symlink(os.path.abspath(disk), os.path.join(h.c, '..', 'dosdevices', 'f:'))
            c.put('src/target.txt', b'F:\\' + c.name.encode())
            r = c.run('src', '')
            os.remove(os.path.join(h.c, '..', 'dosdevices', 'f:'))
        else:
            r = c.install() if stage == 'install' else c.uninstall(temp='tmp\\ro')
        subprocess.run(['umount', '-l', target], capture_output=True)
        os.rmdir(target) if how == 'read-only' and not os.listdir(target) else None  # not the product's folder
    else:
        r = c.uninstall(temp='tmp\\missing') if how == 'temp' else c.uninstall(lines=2)
    for f in ('tmp/fault.txt', 'tmp/fault-hit.txt'):
        os.remove(c.path(f)) if os.path.exists(c.path(f)) else None
    if r and r['codes'] == [0] and stage == 'install' and how in ('killed at', 'hook crash', 'read-only', 'disk full') and where != 'SetupDestroy':
        problems.append('false success')
    # A product the fault left installed is uninstalled; otherwise the install must succeed first.
    if not os.path.exists(c.path('inst/P/setup.exe')) or (stage == 'install' and how != 'file held'):
        status = c.install()['codes']
        problems += c.whole(files) if status == [0] else ['install after the fault failed (%s)' % status[0]]
    c.uninstall()
    logs = ''.join(open(c.path('tmp', f), errors='replace').read() for f in os.listdir(c.path('tmp')) if f.endswith('.log'))
    told = 'not removed: %s:' % c.win('inst', 'P')  # a folder still in use, reported and left for the restart
    c.judge(row, problems + [p for p in c.leftovers() if not (p.endswith('inst/P') and told in logs)], strict=True)


def planted(h, rng, n):
    """Files another account placed in the shared folders: a journal under the product's journal
    name, or files and folders in the temporary folder where setup once put its copies. The install
    and the uninstall still do their job, and what was planted is neither obeyed nor touched."""
    c = Case(h, 'planted temporary files', n, 'RbT%d' % n)
    files, _ = c.product(rng)
    os.makedirs(c.path('inst/P'))
    c.put('inst/P/keep.txt', b'not the product\'s')
    c.put('tmp/evil.txt', b'planted')
    os.makedirs(os.path.join(h.c, 'windows', 'rbplanted'), exist_ok=True)
    planted_files = ['tmp/evil.txt', 'inst/P/keep.txt']
    if n % 2 == 0:
        row, blob = inputs.planted_journal(n // 2, c.name, c.win('inst', 'P'), c.win('tmp'))
        open(os.path.join(h.c, 'windows', inputs.journal_name(c.name)), 'wb').write(blob)
    else:
        row = 'in the way of the uninstall\'s copies'
        for name in ('setup.exe', 'dsetup.dll', 'package.dat', 'zbk1.tmp'):
            c.put('tmp/' + name, b'planted')
        os.makedirs(c.path('tmp/zindle-00000000'))
        planted_files += ['tmp/setup.exe', 'tmp/dsetup.dll', 'tmp/package.dat', 'tmp/zbk1.tmp']
    h.ask('diff')  # what the case set up is not the run's doing
    status = c.install()['codes']
    problems = c.whole(files) if status == [0] else ['install failed (%s)' % status[0]]
    c.uninstall()
    problems += ['planted file changed: ' + f for f in planted_files if not os.path.isfile(c.path(f))
                 or open(c.path(f), 'rb').read() not in (b'planted', b'not the product\'s')]
    problems += ['planted folder removed'] * (not os.path.isdir(os.path.join(h.c, 'windows', 'rbplanted')))
    os.remove(c.path('inst/P/keep.txt')) if os.path.exists(c.path('inst/P/keep.txt')) else None
    c.judge(row, problems + [p for p in c.leftovers() if not p.endswith('inst/P') or os.listdir(c.path('inst/P'))])


KINDS = [('setup.ini', setup_ini), ('files.dat', files_dat), ('package.dat', package_dat),
         ('uninstall record', uninstall_record), ('command line', command_line),
         ('planted temporary files', planted), ('faults', fault)]


def run(a):
    h, started = Harness(a.paths[0], a.paths[1:], a.setup, a.hook), time.time()
    shard, shards = map(int, a.shard.split('/'))
    for kind, function in KINDS:
        if a.only and kind not in a.only.split(','):
            continue
        numbers = range(a.cases) if kind != 'faults' else range(len(FAULTS)) if a.cases >= 300 else SAMPLE_FAULTS
        cases = [(n, None) for n in numbers] + [(1000 + i, x) for i, x in enumerate(REGRESSION.get(kind, []))]
        for n, forced in cases[shard::shards]:
            function(h, random.Random('%s/%d/%d' % (kind, a.seed, n)), n, *[forced] * bool(forced))
    json.dump({'seed': a.seed, 'seconds': round(time.time() - started), 'results': h.results}, open(a.out, 'w'))


def report(a):
    """Sums the results per kind and fault; a failure without an open defect fails the run."""
    known = [[x.strip() for x in line.split(' | ', 3)] for line in open(a.paths[0]) if line.strip()[:1] not in ('#', '')]
    runs = [json.load(open(p)) for p in a.paths[1:]]
    stats, new = {}, []
    order = [k for k, _ in KINDS]
    for r in sorted((r for run in runs for r in run['results']), key=lambda r: (order.index(r['kind']), r['n'])):
        s = stats.setdefault(r['kind'] if r['kind'] != 'faults' else 'fault: ' + r['row'], [0, 0, 0, 0])
        text = '#%d %s: %s' % (r['n'], r['row'], '; '.join(r['problems']))
        state = ([st for k, p, st, _ in known if k == r['kind'] and re.search(p, text) and (st == 'open') == bool(r['problems'])]
                 or ['new' if r['problems'] else 'passed'])[0]
        s[0], s[1], s[2], s[3] = s[0] + 1, s[1] + (state != 'passed'), s[2] + (state == 'fixed'), s[3] + (state == 'open')
        new += ['NEW FAILURE: %s %s' % (r['kind'], text)] * (state == 'new')
    lines = ['| input kind or fault | cases tried | failures found | fixed | still open | seed |', '|---|---:|---:|---:|---:|---:|']
    lines += ['| %s | %d | %d | %d | %d | %d |' % tuple([k] + v + [runs[0]['seed']]) for k, v in stats.items()]
    total = [sum(v[i] for v in stats.values()) for i in range(4)]
    lines.append('\n%d cases in %d s: %d failures found, %d fixed, %d still open.' % (
        total[0], max(r['seconds'] for r in runs), total[1], total[2], total[3]))
    print('\n'.join(lines + new))
    if a.table:
        text = re.sub('(<!-- robustness table begin -->\n).*?(<!-- robustness table end -->)',
                      lambda m: m.group(1) + '\n'.join(lines) + '\n' + m.group(2), open(a.table).read(), flags=re.S)
        open(a.table, 'w').write(text)
    return 1 if new else 0


if __name__ == '__main__':
    ap = argparse.ArgumentParser()
    ap.add_argument('mode', choices=['run', 'report'])
    ap.add_argument('paths', nargs='+')
    for name, default in (('--setup', ''), ('--hook', ''), ('--cases', 6), ('--seed', 1), ('--shard', '0/1'),
                          ('--only', ''), ('--out', ''), ('--table', '')):
        ap.add_argument(name, default=default, type=type(default))
    args = ap.parse_args()
    raise SystemExit(run(args) if args.mode == 'run' else report(args))

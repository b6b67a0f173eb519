"""Seeded generators of damaged and hostile inputs: a small valid product per case, then one row of
a kind's mutation table applied to it. A case is reproduced from its kind, the seed and its number."""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import files_dat as dat_writer  # noqa: E402

ENTRY = dat_writer.ENTRY
directory = dat_writer.directory


def product(rng, name):
    """(files, script) of a small valid product; the script is [[section, [[key, value]...]]...]."""
    files = {'a.txt': b'first file\r\n' * rng.randint(1, 40), 'b.bin': rng.randbytes(rng.randint(0, 5000)),
             'sub\\c.dat': rng.randbytes(rng.randint(1, 70000))}
    keys = lambda text: [k.split('=', 1) for k in text.replace('@', name).split(';')]  # noqa: E731
    return files, [['PRODUCTNAME', keys('name=@')], ['DIRECTORIES', keys('total=1;dir0=sub')],
                   ['FILES', keys('total=3;' + ';'.join('filesrc%d=%s;filedst%d=%s' % (i, f, i, f)
                                                           for i, f in enumerate(files)))],
                   ['STARTMENU ENTRIES', keys('basepath=@;total=1;path0=@;name0=App;prog0=a.txt')],
                   ['REGISTRY ENTRIES', keys('total=2;base0=HKEY_LOCAL_MACHINE;key0=Software\\RbProd\\@;name0=Dir;'
                                             'type0=s;value0=%1;base1=HKEY_CURRENT_USER;key1=Software\\RbProd\\@;'
                                             'name1=Build;type1=d;value1=7')],
                   ['ASSOCIATIONS', keys('total=1;ext0=.' + name.lower() + ';prog0=a.txt')],
                   ['DEPEND', keys('total=1;depend0=dep.txt')],
                   ['VERSION', keys('nameprefix=@;majorhigh=1;majorlow=2;minorhigh=3;minorlow=4')],
                   ['COPYDELAY', keys('delay=0')]]


def render(script):
    return b''.join(b'[%s]\r\n' % s.encode() + b''.join(b'%s=%s\r\n' % (k.encode(), v.encode('latin-1'))
                                                      for k, v in keys) for s, keys in script)


def pick(values):
    return lambda r, *_: r.choice(values)


PATHS = ['..\\..\\evil.txt', 'sub\\..\\..\\..\\evil', 'C:\\evil.txt', 'D:\\evil', '\\evil', '\\\\server\\share\\x',
         'CON', 'NUL', 'COM1', 'LPT1.txt', 'aux\\x', '%4evil', '%%', '%', '%1..\\..\\evil', '%2\\..\\..\\evil',
         'C:evil', 'a' * 300, '.', '..', ' ', 'sub\\', '?*<>|"', 'x:\\' + 'y' * 250]
NUMBERS = ['4294967295', '4294967296', '99999999999999999999', '-1', '0xFFFFFFFFF', '08', 'abc', '', '  12', '65536']


def ini_set(value, sections=(), stems=()):
    """A row setting one key (of one of `sections`, named after one of `stems`) to value(rng)."""
    def row(r, script):
        section = r.choice([s for s in script if s[1] and (not sections or s[0] in sections)] or script)
        r.choice([k for k in section[1] if k[0].startswith(stems or '')] or section[1] or [['total', '']])[1] = value(r)
    return row


INI_ROWS = [  # (name, change of the script)
    ('missing section', lambda r, s: s.pop(r.randrange(len(s)))),
    ('missing key', lambda r, s: (lambda k: k.pop(r.randrange(len(k))) if k else 0)(r.choice(s)[1])),
    ('total far larger', ini_set(pick(['50', '1000', '4294967295', '0xFFFFFFFF']), stems=('total',))),
    ('total smaller', ini_set(pick(['0', '1']), stems=('total',))),
    ('10000-character value', ini_set(lambda r: r.choice('ab\\%.') * 10000)),
    ('overflowing number', ini_set(pick(NUMBERS), stems=('total', 'type', 'value', 'major', 'minor', 'delay'))),
    ('hostile destination', ini_set(pick(PATHS), ('FILES', 'DIRECTORIES'), ('filedst', 'dir'))),
    ('hostile source', ini_set(pick(PATHS), ('FILES', 'DEPEND'), ('filesrc', 'depend'))),
    ('hostile shortcut path', ini_set(pick(PATHS), ('STARTMENU ENTRIES',))),
    ('bad registry root or type', ini_set(pick(['HKEY_NOWHERE', '', 'HKLM', 'HKEY_USERS', 'x', 'sd', '\x01']),
                                          ('REGISTRY ENTRIES',), ('base', 'type'))),
    ('hostile registry key', ini_set(pick(['', '\\', 'Software', 'Software\\Microsoft', '..\\..\\Software', 'k' * 300]),
                                     ('REGISTRY ENTRIES',), ('key', 'name'))),
    ('hostile product name', ini_set(pick(['', 'a\\b', '..\\..', '"q"', 'n' * 300, 'Microsoft', 'Vemmick', 'RbVictim',
                                           ' ', 'CON', '%s%s%n']), ('PRODUCTNAME',))),
    ('hostile association', ini_set(pick(['', '.', '\\', '.txt\\..\\..', 'exefile', '*', '.' + 'e' * 300]),
                                    ('ASSOCIATIONS',))),
    ('duplicate key', lambda r, s: (lambda k: k.insert(0, [r.choice(k)[0], r.choice(PATHS + NUMBERS)]))(
        r.choice([x for x in s if x[1]])[1])),
]
INI_BYTE_ROWS = [  # (name, change of the rendered bytes)
    ('binary garbage', lambda r, b: r.randbytes(r.randint(1, 4000))),
    ('garbage inside', lambda r, b: (lambda i: b[:i] + r.randbytes(r.randint(1, 300)) + b[i:])(r.randrange(len(b)))),
    ('no line breaks', lambda r, b: b.replace(b'\r\n', b'')),
    ('bare CR or LF', lambda r, b: b.replace(b'\r\n', r.choice([b'\r', b'\n', b'\n\r']))),
    ('cut short', lambda r, b: b[:r.randrange(len(b))]),
    ('zero bytes', lambda r, b: b.replace(b'=', b'=\0', r.randint(1, 5))),
]


def setup_ini(rng, script):
    if rng.random() < 0.3:
        name, row = rng.choice(INI_BYTE_ROWS)
        return name, row(rng, render(script))
    name, row = rng.choice(INI_ROWS)
    row(rng, script)
    return name, render(script)


def pack_files_dat(rng, files, grouped=None):
    """(bytes, entries [name, block, crc, size, offset]); the first member always deflated, the
    others in one LZMA group (when grouped, else by chance) or each deflated or stored."""
    items, entries, data, base = list(files.items()), [], b'', ENTRY * (len(files) + 1)
    grouped = rng.random() < 0.5 if grouped is None else grouped
    for i, (name, content) in enumerate(items[:1] if grouped else items):
        b = 0 if i == 0 or rng.random() < 0.4 else rng.choice([1, 7, 512, 4096, 65536])
        entries.append([name.encode(), b, zlib.crc32(content), len(content), base + len(data)])
        data += dat_writer.member_data(content, b, rng.randbytes)
    if grouped:
        group, members = dat_writer.lzma_group([(n.encode(), c) for n, c in items[1:]], base + len(data),
                                               rng.choice([4096, 1 << 16]))
        entries, data = entries + members, data + group
    return directory(entries) + data, entries


def entry_set(field, value, compressed=None):
    """A row setting one field of an entry (of a compressed or a stored one, when asked)."""
    def row(r, blob, entries):
        e = r.choice([x for x in entries if compressed is None or (x[1] == 0) == compressed] or entries)
        e[field] = value(r, blob, entries, e)
        return directory(entries) + blob[ENTRY * (len(entries) + 1):]
    return row


def boundaries(blob, entries):
    points = [ENTRY * i for i in range(len(entries) + 2)] + [e[4] + 2 * e[1] * k for e in entries for k in range(3)]
    return sorted(p for p in set(points) if 0 <= p < len(blob))


FILES_DAT_ROWS = [
    ('truncated at a boundary', lambda r, b, e: b[:r.choice(boundaries(b, e))]),
    ('truncated at random', lambda r, b, e: b[:r.randrange(len(b))]),
    ('offset past the end', entry_set(4, lambda r, b, e, x: len(b) + r.choice([0, 1, 1000, 2 ** 31]))),
    ('offset overlapping', entry_set(4, lambda r, b, e, x: r.choice(e)[4] + r.choice([0, 1, -1]))),
    ('offset inside the directory', entry_set(4, lambda r, b, e, x: r.randrange(ENTRY * 2))),
    ('size past the end', entry_set(3, lambda r, b, e, x: r.choice([x[3] + 1, len(b), 0xFFFFFFFF, 0xFFFFFF00]))),
    ('size shorter', entry_set(3, lambda r, b, e, x: max(0, x[3] - r.randint(1, 100)))),
    ('block size 0', entry_set(1, pick([0]))),
    ('block size huge', entry_set(1, pick([0xFFFFFFFF, 0x80000000, 2 ** 24 + 1]))),
    ('reserved field set', entry_set(2, lambda r, *_: r.getrandbits(32))),
    ('name without terminator', entry_set(0, lambda r, b, e, x: (x[0] * 260)[:260])),
    ('duplicate name', entry_set(0, lambda r, b, e, x: r.choice(e)[0])),
    ('absolute or climbing name', entry_set(0, pick([b'C:\\evil.txt', b'\\evil.txt', b'..\\evil.txt',
                                                     b'sub\\..\\..\\evil.txt', b'..\\..\\a.txt']))),
    ('mask and data differ', lambda r, b, e: (lambda x: b[:x[4] + x[1]] + b[x[4] + x[1] + r.randint(1, x[1]):])(
        r.choice([y for y in e if y[3] and y[1]] or [[b'', 1, 0, 0, len(b)]]))),
    ('compressed stream cut short', lambda r, b, e: b[:e[0][4] + 4 + r.randrange(struct.unpack_from('<I', b, e[0][4])[0])]),
    ('compressed length field wrong', lambda r, b, e: b[:e[0][4]] + struct.pack(
        '<I', (struct.unpack_from('<I', b, e[0][4])[0] + r.choice([-5, -1, 1, 7, 2 ** 31])) & 0xFFFFFFFF) + b[e[0][4] + 4:]),
    ('compressed stream garbage', lambda r, b, e: b[:e[0][4] + 4] + r.randbytes(32) + b[e[0][4] + 36:]),
    ('inflates past the size', entry_set(3, lambda r, b, e, x: max(0, x[3] - r.randint(1, 100)), compressed=True)),
    ('wrong checksum of a compressed member', entry_set(2, lambda r, b, e, x: x[2] ^ 1, compressed=True)),
    ('compressed flag on a stored member', entry_set(1, pick([0]), compressed=False)),
    ('data bytes flipped', lambda r, b, e: (lambda i: b[:i] + bytes([b[i] ^ 0x5A]) + b[i + 1:])(
        r.randrange(ENTRY * (len(e) + 1), len(b)))),
    ('no terminator entry', lambda r, b, e: b[:ENTRY * len(e)] + b[ENTRY * (len(e) + 1):]),
]


def group_set(at, value):
    """A row setting the 32-bit field at (from the LZMA group's start, or from its stream's when at
    is a string) to value(rng, old value); the group holds every member but the first."""
    def row(r, b, e):
        g = struct.unpack_from('<I', b, e[1][4] + 4)[0]
        spot = g + (24 + 16 * (len(e) - 1) + int(at) if isinstance(at, str) else at)
        return b[:spot] + struct.pack('<I', value(r, struct.unpack_from('<I', b, spot)[0]) & 0xFFFFFFFF) + b[spot + 4:]
    return row


def reshape(change):
    """A row changing the entries (change(rng, entries)), the directory written anew."""
    def row(r, b, e):
        change(r, e)
        return directory(e) + b[ENTRY * (len(e) + 1):]
    return row


def shrink_last(r, b, e):
    """The group's length, its last slot's and entry's size made smaller: it decodes past them."""
    k = r.randint(1, 5)
    b = group_set(8, lambda _, v: v - k)(r, group_set(24 + 16 * (len(e) - 2) + 12, lambda _, v: v - k)(r, b, e), e)
    return reshape(lambda _, x: x[-1].__setitem__(3, x[-1][3] - k))(r, b, e)


LZMA_ROWS = [  # applied to an archive whose members but the first lie in one LZMA group
    ('group cut short', lambda r, b, e: b[:len(b) - r.randint(1, 40)]),
    ('group stream length wrong', group_set(12, lambda r, v: v + r.choice([-9, -1, 1, 2 ** 31]))),
    ('group decodes past its members', shrink_last),
    ('group member with a wrong checksum', reshape(lambda r, e: (lambda x: x.__setitem__(2, x[2] ^ 1))(r.choice(e[1:])))),
    ('group dictionary larger than allowed', group_set(17, pick([(8 << 20) + 1, 1 << 30, 0xFFFFFFFF]))),
    ('group members overlap or leave a gap', group_set(24 + 16 + 8, lambda r, v: v + r.choice([-1, 1, 100]))),
    ('group length past its members', group_set(8, lambda r, v: v + r.choice([1, 5000]))),
    ('group stream garbage', group_set('5', lambda r, v: r.getrandbits(32))),
    ('group count wrong', group_set(4, lambda r, v: r.choice([0, v + 1, 0xFFFFFFF]))),
]


def files_dat(rng, files):
    name, row = rng.choice(FILES_DAT_ROWS + LZMA_ROWS)
    blob, entries = pack_files_dat(rng, files, True if (name, row) in LZMA_ROWS else None)
    return name, row(rng, blob, entries)


def pack_package(members, tag=b'^', end=b'%'):
    return b''.join(tag + n[:260].ljust(260, b'\0') + struct.pack('<I', s & 0xFFFFFFFF) + c
                    for n, c, s in members) + end


DEVICE_NAMES = [b'..\\evil.txt', b'..\\..\\evil.txt', b'C:\\evil.txt', b'\\evil.txt', b'/evil.txt', b'CON', b'NUL',
                b'COM1', b'LPT1', b'aux.txt', b'CLOCK$', b'sub\\..\\..\\evil', b'', b'a\x01b', b'x' * 259, b'C:evil']
PACKAGE_ROWS = [
    ('no terminator', lambda r, m: pack_package(m, end=b'')),
    ('size past the end', lambda r, m: pack_package(m[:-1] + [(m[-1][0], m[-1][1], len(m[-1][1]) + r.randint(1, 9999))],
                                                    end=b'')),
    ('size near 4 GiB', lambda r, m: pack_package([(m[0][0], m[0][1], r.choice([0xFFFFFFFF, 0xFFFFFFF0]))] + m[1:])),
    ('climbing or device name', lambda r, m: pack_package([(r.choice(DEVICE_NAMES), b'evil\r\n', 6)] + m)),
    ('name without terminator', lambda r, m: pack_package([(b'n' * 260, b'abc', 3)] + m)),
    ('unknown tag byte', lambda r, m: pack_package(m, tag=bytes([r.choice([0, 0x41, 0xFF, 0x5F])]))),
    ('truncated', lambda r, m: pack_package(m)[:r.randrange(1, len(pack_package(m)))]),
    ('garbage', lambda r, m: r.randbytes(r.randint(0, 3000))),
]


def package_dat(rng):
    members = [(b'dep%d.txt' % i, c, len(c)) for i, c in enumerate(rng.randbytes(rng.randint(0, 3000))
                                                                    for _ in range(rng.randint(1, 3)))]
    name, row = rng.choice(PACKAGE_ROWS)
    return name, row(rng, members)


def record_set(keys, values):
    return lambda r, rec: rec.__setitem__(r.choice(keys or list(rec)), r.choice(values))


IMPORTANT = [k + t for k in ['HKLM\\Software', 'HKLM\\Software\\Microsoft', 'HKLM\\Software\\RbSentinel',
                             'HKCU\\Software', 'HKLM\\Software\\Quorvane'] for t in ('', ',', ',Keep', '\\')]
RECORD_ROWS = [  # changes of the values of HKLM\Software\Quorvane\<name>\uninstall
    ('missing total', lambda r, rec: rec.pop(r.choice([k for k in rec if k.endswith('total')]))),
    ('total larger than the items', record_set(['dirtotal', 'filetotal', 'keytotal', 'valuetotal', 'createdtotal'],
                                               [50, 100000, 0xFFFFFFFF, 0x7FFFFFFF])),
    ('over-long value', record_set(['dir0', 'file0', 'key0', 'value0', 'created0', 'assoc0'],
                                   [c * n for c in ('x', '\\', 'C:\\') for n in (259, 260, 10000)])),
    ('malformed root', record_set(['key0', 'value0', 'created0'], [
        'HKXX\\Software\\RbSentinel,v', 'HKLM', 'HKLM\\', ',', '', 'HKLM\\Software,', '\\Software,v',
        'hklm\\Software\\RbSentinel,v', 'HKLM\\\\Software,v', 'HKLM\\Software\\RbSentinel'])),
    ('malformed comma form', record_set(['key0', 'value0', 'assoc0'], [
        'HKLM\\Software\\RbSentinel,,', ',,,', '.txt', ',exefile', '.txt,', 'HKLM\\Software\\RbSentinel,a,b'])),
    ('important key', record_set(['key0', 'value0', 'created0'], IMPORTANT)),
    ('wrong value type', record_set([], [7, 0])),
    ('hostile path', record_set(['dir0', 'file0'], ['C:\\', 'C:\\windows', 'C:\\windows\\system32', '\\', '', '..',
                                                    'C:\\rb\\..\\windows', 'CON', 'C:\\*'])),
]


def record(rng, name, inst):
    rec = {'dirtotal': 1, 'dir0': inst, 'filetotal': 2, 'file0': inst + '\\f0.txt', 'file1': inst + '\\setup.exe',
           'keytotal': 1, 'key0': 'HKLM\\Software\\RbProd\\%s,Dir' % name, 'assoctotal': 1,
           'assoc0': '.%s,a.txt' % name.lower(), 'valuetotal': 1, 'value0': 'HKLM\\Software\\RbSentinel,v',
           'createdtotal': 1, 'created0': 'HKLM\\Software\\RbProd\\' + name}
    label, row = rng.choice(RECORD_ROWS)
    for _ in range(rng.randint(1, 2)):
        row(rng, rec)
    return label, rec


HOSTILE_ARGS = ['', '"', '"unterminated', 'a' * 5000, '"' + 'b' * 300 + '"', '99999999999999999999', '-1', 'abc',
                '0x10', '"..\\RbVictim"', '"Quorvane\\RbVictim"', '"\\"', '"RbVictim\\..\\x"', '"Microsoft\\Windows"',
                '"%s%s%s%n"', '""', '"C:\\windows"', '/silent', '/dir=', '/log=C:\\', '/unknown', '/group=']
SWITCHES = [  # (switch, the forms of its arguments); a new switch is one more row
    ('-u1', ['"{name}"', '0|1|2', '"res.dll"']),
    ('-u2', ['0|4|8|1234567|4294967295', '"{dir}"', '0|1', '"{name}"', '"res.dll"']),
    ('/silent', []),
    ('/dir=', ['{dir}\\P|CON|{long}|%s%n']),  # a folder given is the administrator's: none outside
    ('/group=', ['{name}|..\\..\\evil|C:\\evil|{long}']),
    ('/log=', ['{tmp}\\log.txt|C:\\rb\\nodir\\l.txt|CON|{tmp}|{long}']),
]


def command_line(rng, names):
    """(row, command line): one switch's arguments left out, added to, made hostile or left open."""
    switch, forms = rng.choice(SWITCHES)
    args = [rng.choice(f.split('|')).format(**names) for f in forms]
    how = rng.choice(['missing', 'extra', 'open quote'] + ['hostile'] * 2 * (switch not in ('/dir=', '/log=')) if args else
                     ['alone', 'extra'])
    if how == 'missing':
        args = args[:rng.randrange(len(args))]
    elif how == 'extra':
        args += [rng.choice(HOSTILE_ARGS) for _ in range(rng.randint(1, 30))]
    elif how != 'alone':
        i = rng.randrange(len(args))
        args[i] = rng.choice(HOSTILE_ARGS) if how == 'hostile' else '"' + args[i].strip('"')
    if switch.endswith('='):  # a value switch of a silent install
        return '%s %s' % (switch, how), '/silent %s%s %s' % (switch, args[0] if args else '', ' '.join(args[1:]))
    return '%s %s' % (switch, how), ' '.join([switch] + args)


JOURNAL_HEADER = 0x48
FILE_CREATED, FILE_REPLACED, DIR_CREATED, KEY_CREATED, VALUE_WRITTEN = range(5)


def journal_name(product):
    """The file name of a product's rollback journal in the Windows folder (ASCII names)."""
    h = 2166136261
    for b in product.lower().encode('latin-1'):
        h = ((h ^ b) * 16777619) & 0xFFFFFFFF
    return 'zindle-%08x.jnl' % h


def journal(product, entries):
    """A rollback journal as setup writes it: a header naming product, then one record per entry
    (kind, path, extra='', root='', existed=0, type=0, data=b'')."""
    def record(kind, path, extra='', root='', existed=0, vtype=0, data=b''):
        path, extra = path.encode('latin-1'), extra.encode('latin-1')
        return struct.pack('<7I8s', 0x324E4A5A, kind, existed, vtype, len(path) + 1, len(extra) + 1, len(data),
                           root.encode()) + path + b'\0' + extra + b'\0' + data
    return record(JOURNAL_HEADER, product) + b''.join(record(*e) for e in entries)


def planted_journal(i, product, inst, tmp):
    """(row, journal bytes) of the i-th kind of journal someone else placed under the product's
    journal name: its entries name things outside the product, or the journal must be ignored
    whole. inst is the product's install folder, which holds keep.txt (not the product's); tmp
    holds evil.txt."""
    keep = inst + '\\keep.txt'
    rows = [
        ('file created outside', product, [(FILE_CREATED, 'C:\\windows\\win.ini')]),
        ('file replaced from a planted copy', product, [(FILE_REPLACED, 'C:\\windows\\system.ini', tmp + '\\evil.txt')]),
        ('value written outside', product, [(VALUE_WRITTEN, 'Software\\Microsoft\\Windows\\CurrentVersion\\Run',
                                             'planted', 'HKLM', 1, 1, b'C:\\evil.exe\0')]),
        ('value removed outside', product, [(VALUE_WRITTEN, 'Software\\RbSentinel', 'v', 'HKLM')]),
        ('directory outside', product, [(DIR_CREATED, 'C:\\windows\\rbplanted')]),
        ('path climbing out', product, [(FILE_CREATED, inst + '\\..\\..\\..\\..\\windows\\win.ini')]),
        ('kept copy not beside its file', product, [(FILE_REPLACED, keep, tmp + '\\evil.txt')]),
        ('another product\'s journal', 'RbOther', [(FILE_CREATED, keep)]),
        ('damaged journal', product, [(FILE_CREATED, keep), (7, keep)]),
    ]
    row, name, entries = rows[i % len(rows)]
    return row, journal(name, entries)

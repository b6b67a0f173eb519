#!/usr/bin/env python3
"""Helper of the filesdat host tests: an independent files.dat reader, a maker of damaged and
hostile archives, and a memory probe.

  files_dat_tool.py decode ARCHIVE OUTDIR    write every member below OUTDIR, check the layout
  files_dat_tool.py craft KIND OUT [ARG]     write a hand-made archive of the given KIND
  files_dat_tool.py maxrss CMD...            run CMD, print its peak memory in KiB, pass its status
"""
import lzma
import os
import resource
import struct
import subprocess
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import files_dat  # noqa: E402

ENTRY = files_dat.ENTRY


def archive(members, terminator=True, checked=False):
    """members: (name, plain bytes, block size); data follows the directory in order. checked
    stores each member's CRC-32 in its reserved field."""
    return files_dat.archive(members, terminator=terminator, checked=checked)[0]


def patch(raw, index, field, value):
    """Overwrites a 32-bit field (block, reserved, size, offset) of entry index."""
    at = index * ENTRY + 260 + 4 * ("block", "reserved", "size", "offset").index(field)
    return raw[:at] + struct.pack("<I", value) + raw[at + 4:]


GOOD = [("a.txt", b"alpha " * 50, 16), ("sub\\b.bin", bytes(range(256)) * 3, 100)]


def craft(kind, arg):
    good = archive(GOOD)
    if kind == "good":
        return good
    if kind == "bad-sum":  # one data byte of the first member changed; its checksum is stored
        raw = bytearray(archive(GOOD, checked=True))
        raw[struct.unpack("<I", raw[272:276])[0]] ^= 0x20
        return bytes(raw)
    if kind == "truncated-dir":
        return good[:ENTRY + 100]
    if kind == "no-terminator":
        return archive(GOOD, terminator=False)
    if kind == "offset-past-end":
        return patch(good, 1, "offset", len(good) + 10)
    if kind == "offset-wraps":
        # 2*B*ceil(size/B) is exactly 2^32: in 32 bits the member would seem to end where it starts
        return patch(patch(patch(good, 1, "offset", 900), 1, "block", 0x80000000), 1, "size", 0x80000000)
    if kind == "block-zero":
        return patch(good, 0, "block", 0)
    if kind == "short-data":
        return good[:-5]
    if kind == "unterminated-name":
        return archive([("x" * 260, b"data", 4)])
    if kind == "overlap":
        return patch(good, 0, "offset", 0)
    if kind == "clean-eof":
        return files_dat.entry("empty1", 16, 0, 0, 2 * ENTRY) + files_dat.entry("empty2", 16, 0, 0, 2 * ENTRY)
    if kind == "duplicates":
        return archive([("dup.txt", b"first", 8), ("DUP.TXT", b"second copy", 8)])
    if kind == "hostile":
        escape = arg.replace("/", "\\")
        names = ["..\\evil1.txt", "sub\\..\\..\\evil2.txt", "../evil3.txt", arg + "/abs.txt", escape + "\\abs2.txt",
                 "C:\\evil4.txt", "c:evil5.txt", "... \\evil6.txt", "good\\ok.txt"]
        return archive([(name, b"payload of " + name.encode(), 8) for name in names])
    raise SystemExit("unknown kind " + kind)


def lzma_group(raw, at, problems):
    """The decoded content of the LZMA group at offset at, where its slots end and where it ends."""
    tag, count, length, stream_length, props, dictionary = struct.unpack_from("<4s3IBI", raw, at)
    start = at + 24 + 16 * count
    filters = [{"id": lzma.FILTER_LZMA1, "dict_size": dictionary, "lc": props % 9, "lp": props // 9 % 5, "pb": props // 45}]
    # Without an end marker the stream stops only at the group's length, which this decoder does not know.
    content = lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=filters).decompress(raw[start:start + stream_length])
    if tag != b"LZG1" or len(content) < length or dictionary > 4 << 20 or raw[at + 21:at + 24] != bytes(3):
        problems.append("the group at %d is not as the packer writes it" % at)
    return content[:length], start, start + stream_length


def decode(path, outdir):
    """Reads path as files.dat independently of the packer and checks how the packer lays it out."""
    raw = open(path, "rb").read()
    problems = []
    position, members = 0, []
    while True:
        record = raw[position:position + ENTRY]
        if len(record) < ENTRY:
            problems.append("directory not terminated")
            break
        position += ENTRY
        if record[0] == 0:
            if record != bytes(ENTRY):
                problems.append("terminator entry is not all zero")
            break
        name = record[:260].split(b"\0", 1)[0]
        if record[len(name):260] != bytes(260 - len(name)):
            problems.append("name field of %r not zero after the name" % name)
        block, reserved, size, offset = struct.unpack("<IIII", record[260:])
        members.append((name, block, reserved, size, offset))
    spans, groups = [], {}  # (start, end) of every member's data, of each group's header and stream
    for name, block, reserved, size, offset in members:
        pending_sum = (name, reserved)
        form = "deflate" if block == 0 else "blocks"
        if block == 0 and raw[offset:offset + 4] == b"\xff" * 4:  # a slot of an LZMA group
            form, (marker, at, start, length) = "lzma", struct.unpack_from("<4I", raw, offset)
            if at not in groups:
                groups[at] = lzma_group(raw, at, problems)
                spans += [(at, at + 24), groups[at][1:]]
            content = groups[at][0]
            if length != size or start + size > len(content):
                problems.append("%r: its slot does not match its entry" % name)
            out = content[start:start + size]
            spans.append((offset, offset + 16))
            blocks = 0
        elif block == 0:  # compressed: the stream's length, then the raw deflate stream
            (length,) = struct.unpack_from("<I", raw, offset)
            inflater = zlib.decompressobj(-15)
            out = inflater.decompress(raw[offset + 4:offset + 4 + length])
            if not inflater.eof or inflater.unused_data or len(out) != size:
                problems.append("%r: its compressed stream does not inflate to its size" % name)
            spans.append((offset, offset + 4 + length))
            blocks = 0
        else:
            blocks = -(-size // block)
            spans.append((offset, offset + 2 * block * blocks))
        out, masks = bytearray(out if block == 0 else b""), bytearray()
        for i in range(blocks):
            data = raw[offset + 2 * i * block:offset + (2 * i + 1) * block]
            mask = raw[offset + (2 * i + 1) * block:offset + (2 * i + 2) * block]
            if block >= 16 and mask == bytes(block):
                problems.append("%r has an all-zero mask block" % name)
            masks += mask
            out += bytes(a ^ b for a, b in zip(data, mask))
        if len(masks) >= 16 and masks == bytes(len(masks)):
            problems.append("%r is stored without a mask" % name)
        target = os.path.join(outdir, *name.decode("latin-1").split("\\"))
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(bytes(out[:size]))
        if pending_sum[1] != zlib.crc32(bytes(out[:size])):
            problems.append("reserved field of %r is not the CRC-32 of its content" % name)
        print("%s %d %d %s" % (name.decode("latin-1"), size, block, form))
    # The data fills the archive from the directory's end to the file's end, without gap or overlap.
    expected = position
    for start, end in sorted(x for x in spans if x[1] > x[0]):
        if start != expected:
            problems.append("data at %d, expected at %d" % (start, expected))
        expected = max(expected, end)
    if expected != len(raw) or any(not position <= x[0] <= len(raw) for x in spans):
        problems.append("archive is %d bytes, its data ends at %d" % (len(raw), expected))
    for problem in problems:
        print("LAYOUT: " + problem, file=sys.stderr)
    return 1 if problems else 0


def main():
    if len(sys.argv) >= 4 and sys.argv[1] == "decode":
        return decode(sys.argv[2], sys.argv[3])
    if len(sys.argv) >= 4 and sys.argv[1] == "craft":
        with open(sys.argv[3], "wb") as f:
            f.write(craft(sys.argv[2], sys.argv[4] if len(sys.argv) > 4 else ""))
        return 0
    if len(sys.argv) >= 3 and sys.argv[1] == "maxrss":
        status = subprocess.call(sys.argv[2:])
        print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
        return status
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())

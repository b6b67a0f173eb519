"""The one files.dat writer of the Python test tools: a directory of 276-byte entries (name,
block size, CRC-32 of the content, size, offset), an all-zero terminator, then each member in
order. A stored member (block size B) is, per block, B bytes of data XOR mask and then the mask;
a compressed member (block size 0) is its stream's length and a raw deflate stream; the members of
an LZMA group (block size 0) point at their 16-byte slots in the group's table."""
import lzma
import os
import struct
import zlib

ENTRY = 276


def entry(name, block, crc, size, offset):
    """One directory entry; name as bytes (cut to 260) or latin-1 text; fields kept to 32 bits."""
    raw = name if isinstance(name, bytes) else name.encode("latin-1")
    return raw[:260].ljust(260, b"\0") + struct.pack("<4I", *[x & 0xFFFFFFFF for x in (block, crc, size, offset)])


def directory(entries, terminator=True):
    """entries: [name, block, crc, size, offset] each."""
    return b"".join(entry(*e) for e in entries) + (bytes(ENTRY) if terminator else b"")


def deflate(content):
    z = zlib.compressobj(9, zlib.DEFLATED, -15)
    return z.compress(content) + z.flush()


def member_data(content, block, randbytes=os.urandom):
    """The member's bytes as the archive holds them; randbytes(n) gives the masks, in one call."""
    if block == 0:
        stream = deflate(content)
        return struct.pack("<I", len(stream)) + stream
    masks = randbytes(block * -(-len(content) // block))
    plain = content.ljust(len(masks), b"\0")
    return b"".join(bytes(x ^ y for x, y in zip(plain[i:i + block], masks[i:i + block])) + masks[i:i + block]
                    for i in range(0, len(masks), block))


def archive(members, randbytes=os.urandom, terminator=True, checked=True):
    """members: (name, content, block). (archive bytes, entries); checked stores each member's
    CRC-32, otherwise 0."""
    entries, data = [], b""
    base = ENTRY * (len(members) + (1 if terminator else 0))
    for name, content, block in members:
        entries.append([name, block, zlib.crc32(content) if checked else 0, len(content), base + len(data)])
        data += member_data(content, block, randbytes)
    return directory(entries, terminator) + data, entries


def lzma_group(members, at, dictionary=1 << 16):
    """members: (name, content); the group's bytes for offset at (a "LZG1" header of count, length,
    stream length, properties and dictionary, a slot per member, the raw LZMA stream) and its
    members' entries."""
    filters = [{'id': lzma.FILTER_LZMA1, 'dict_size': dictionary, 'lc': 3, 'lp': 0, 'pb': 2}]
    stream = lzma.compress(b''.join(c for _, c in members), format=lzma.FORMAT_RAW, filters=filters)
    slots, entries, offset = b'', [], 0
    for name, content in members:
        entries.append([name, 0, zlib.crc32(content), len(content), at + 24 + len(slots)])
        slots += struct.pack('<4I', 0xFFFFFFFF, at, offset, len(content))
        offset += len(content)
    header = b'LZG1' + struct.pack('<3IBI', len(members), offset, len(stream), 3 + 9 * 5 * 2, dictionary) + bytes(3)
    return header + slots + stream, entries

// Test archives in the files.dat layout, written byte by byte without the reader's types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct FilesDatMember {
  std::string name;
  std::string bytes;
  uint32_t block_size;  // of a stored member; 0 with compressed
  bool compressed = false;  // a raw deflate stream with the content's checksum
};

// Size of a directory entry and the positions of its 32-bit fields.
const size_t kFilesDatEntrySize = 276;
const size_t kFilesDatBlockSizeField = 260;
const size_t kFilesDatReservedField = 264;
const size_t kFilesDatSizeField = 268;
const size_t kFilesDatOffsetField = 272;

// The archive: one entry per member and, when terminated, an all-zero terminator entry; then the
// members' block pairs in order. Masks are pseudo-random and never all zero, so a reader that
// skips the mask gets wrong bytes; the unused tail of a last data block is filled as well. A
// compressed member is its length field and deflate stream.
std::string make_files_dat(const std::vector<FilesDatMember> &members, bool terminated = true);

// Reads and overwrites a 32-bit little-endian field of directory entry index.
uint32_t files_dat_field(const std::string &archive, size_t index, size_t field);
void set_files_dat_field(std::string *archive, size_t index, size_t field, uint32_t value);

// A compressed member's data as the packer writes it: the 4-byte length, then the raw deflate stream.
std::string compressed_member(const std::string &bytes);

// An archive whose members lie in LZMA groups, groups[g] holding the members of group g in order:
// the directory (members in that order), then per group its 24-byte header ("LZG1", count,
// length, stream length, 5 property bytes, 3 zero bytes), a 16-byte slot per member (0xFFFFFFFF,
// group offset, member offset, size) and the raw stream, encoded with the given dictionary size,
// with an end marker when asked. Each entry holds the content's checksum and its slot's offset.
std::string make_lzma_files_dat(const std::vector<std::vector<FilesDatMember>> &groups, uint32_t dictionary,
                                bool end_marker = false);

// n bytes of a repeatable pseudo-random pattern (zero bytes included).
std::string pattern_bytes(size_t n, uint32_t seed);

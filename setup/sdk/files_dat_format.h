// files.dat, the product archive, as setup reads it and the filesdat packer writes it.
//
// The file starts with a directory of 276-byte entries, ended by an entry whose name is empty (or
// by the end of the file). Each entry, all numbers little-endian:
//
//   offset  bytes  field
//        0    260  name         zero-terminated, backslash separators; looked up ignoring letter case
//      260      4  block_size   bytes per block, never 0
//      264      4  reserved     CRC-32 of the member's content (as zip and PNG compute it);
//                                0 means no checksum (archives made before it was stored)
//      268      4  size         bytes of the member
//      272      4  data_offset  offset of the member's first block pair from the start of the file
//
// A member is stored at data_offset as one pair of blocks per started block_size bytes of its
// content: a data block, then a mask block, each block_size bytes long. The content is data XOR
// mask, byte for byte; the last pair is padded to the whole block size and the padding is ignored.
// A member therefore occupies member_span(block_size, size) bytes. A member whose content does
// not give the stored checksum is damaged, like one whose blocks lie outside the file. (A member
// whose checksum happens to be 0 is simply not checked.)
//
// A compressed member has block_size 0. At data_offset lie a 4-byte length L and then L bytes of a
// raw deflate stream (RFC 1951, no zlib or gzip wrapper) that inflates to exactly size bytes; the
// checksum is that of the inflated content. A setup older than compressed members finds block size
// 0 and treats the member as damaged. The packer compresses a member only where that makes it
// smaller than its block pairs, so an archive may mix both forms.
//
// Plain C++ with fixed-width types and no system headers, so tools on any host can include it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace files_dat {

const size_t kEntrySize = 276;
const size_t kNameField = 260;
const size_t kMaxNameLength = kNameField - 1;
const size_t kBlockSizeOffset = 260;
const size_t kReservedOffset = 264;
const size_t kSizeOffset = 268;
const size_t kDataOffsetOffset = 272;

struct Entry {
  char name[kNameField + 1];  // always terminated here, even when the stored field was not
  bool name_terminated;       // the stored field held a terminator within its 260 bytes
  uint32_t block_size;
  uint32_t reserved;
  uint32_t size;
  uint32_t data_offset;
};

inline void put32(unsigned char *out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

inline uint32_t get32(const unsigned char *in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

// Writes the entry's fields; the name field is zero from the name's terminator on, and a name
// longer than kMaxNameLength is cut there.
inline void encode_entry(const Entry &entry, unsigned char out[kEntrySize]) {
  memset(out, 0, kEntrySize);
  size_t length = 0;
  while (length < kMaxNameLength && entry.name[length]) ++length;
  memcpy(out, entry.name, length);
  put32(out + kBlockSizeOffset, entry.block_size);
  put32(out + kReservedOffset, entry.reserved);
  put32(out + kSizeOffset, entry.size);
  put32(out + kDataOffsetOffset, entry.data_offset);
}

inline void decode_entry(const unsigned char in[kEntrySize], Entry *entry) {
  memcpy(entry->name, in, kNameField);
  entry->name[kNameField] = 0;
  entry->name_terminated = memchr(in, 0, kNameField) != nullptr;
  entry->block_size = get32(in + kBlockSizeOffset);
  entry->reserved = get32(in + kReservedOffset);
  entry->size = get32(in + kSizeOffset);
  entry->data_offset = get32(in + kDataOffsetOffset);
}

// CRC-32 (reflected polynomial 0xEDB88320), continued over n more bytes: crc32_update(0, ...) for
// the first piece, then the previous result for each further piece. Eight bytes a step, with one
// table per byte position, so checking a member costs little beside reading it.
struct Crc32Table {
  uint32_t value[8][256];
};

// Built on first use rather than stored: as constant data the 8 KB table would travel in every
// program that reads archives. Each file that uses it has its own (static), so that it lies in
// zero-filled memory that takes no room in the program file.
static inline const Crc32Table &crc32_table() {
  static Crc32Table table;
  static bool built = false;
  if (built) return table;
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table.value[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i)
    for (int k = 1; k < 8; ++k) table.value[k][i] = (table.value[k - 1][i] >> 8) ^ table.value[0][table.value[k - 1][i] & 0xFF];
  built = true;
  return table;
}

static inline uint32_t crc32_update(uint32_t crc, const unsigned char *data, size_t n) {
  const auto &t = crc32_table().value;
  crc = ~crc;
  for (; n >= 8; n -= 8, data += 8) {
    uint32_t low = crc ^ (static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                          static_cast<uint32_t>(data[2]) << 16 | static_cast<uint32_t>(data[3]) << 24);
    crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^ t[3][data[4]] ^
          t[2][data[5]] ^ t[1][data[6]] ^ t[0][data[7]];
  }
  for (; n > 0; --n, ++data) crc = t[0][(crc ^ *data) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

// A compressed member: its block size is 0.
inline bool is_compressed(const Entry &entry) { return entry.block_size == 0; }
const uint32_t kCompressedLengthField = 4;

// True when a compressed member's length field and the stream_length bytes after it lie wholly
// inside an archive of archive_length bytes.
inline bool compressed_fits(const Entry &entry, uint32_t stream_length, uint64_t archive_length) {
  return static_cast<uint64_t>(entry.data_offset) + kCompressedLengthField + stream_length <= archive_length;
}

// The entry that ends the directory: its name is empty.
inline bool ends_directory(const Entry &entry) { return entry.name[0] == 0; }

// Bytes a member occupies: a data block and a mask block per started block of content.
// block_size must not be 0. B * ceil(size / B) < size + B < 2^33, so the result needs no more than 34 bits.
inline uint64_t member_span(uint32_t block_size, uint32_t size) {
  uint64_t b = block_size;
  return 2 * b * ((static_cast<uint64_t>(size) + b - 1) / b);
}

// True when the member's block pairs lie wholly inside an archive of archive_length bytes.
inline bool member_fits(const Entry &entry, uint64_t archive_length) {
  return entry.block_size != 0 && static_cast<uint64_t>(entry.data_offset) +
                                          member_span(entry.block_size, entry.size) <= archive_length;
}

}  // namespace files_dat

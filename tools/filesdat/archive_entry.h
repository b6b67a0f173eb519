// The 276-byte directory entry of files.dat, encoded and decoded byte by byte (little-endian),
// so the packer reads and writes the same bytes on every host.
#pragma once

#include <cstddef>
#include <cstdint>

const size_t kEntrySize = 276;
const size_t kNameField = 260;
const size_t kMaxNameLength = kNameField - 1;
const uint32_t kDefaultBlockSize = 65536;
const uint32_t kMaxBlockSize = 16u * 1024 * 1024;

struct ArchiveEntry {
  char name[kNameField + 1];  // always terminated here, even when the stored field was not
  bool name_terminated;       // the stored field held a terminator
  uint32_t block_size;
  uint32_t reserved;
  uint32_t size;
  uint32_t data_offset;
};

// Writes the entry's fields; the name field is zero after the name's terminator.
void encode_entry(const ArchiveEntry &entry, unsigned char out[kEntrySize]);
void decode_entry(const unsigned char in[kEntrySize], ArchiveEntry *entry);

// Bytes a member occupies: a data block and a mask block per started block of output.
// block_size must be non-zero. The result is below 2^34, so 64 bits never overflow.
uint64_t member_span(uint32_t block_size, uint32_t size);

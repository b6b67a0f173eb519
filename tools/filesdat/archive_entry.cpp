// Encoding of files.dat directory entries.
#include "archive_entry.h"

#include <cstring>

namespace {

void put32(unsigned char *out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint32_t get32(const unsigned char *in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

}  // namespace

void encode_entry(const ArchiveEntry &entry, unsigned char out[kEntrySize]) {
  memset(out, 0, kEntrySize);
  size_t length = strnlen(entry.name, kMaxNameLength);
  memcpy(out, entry.name, length);
  put32(out + 260, entry.block_size);
  put32(out + 264, entry.reserved);
  put32(out + 268, entry.size);
  put32(out + 272, entry.data_offset);
}

void decode_entry(const unsigned char in[kEntrySize], ArchiveEntry *entry) {
  memcpy(entry->name, in, kNameField);
  entry->name[kNameField] = 0;
  entry->name_terminated = memchr(in, 0, kNameField) != nullptr;
  entry->block_size = get32(in + 260);
  entry->reserved = get32(in + 264);
  entry->size = get32(in + 268);
  entry->data_offset = get32(in + 272);
}

uint64_t member_span(uint32_t block_size, uint32_t size) {
  uint64_t b = block_size;
  return 2 * b * ((static_cast<uint64_t>(size) + b - 1) / b);
}

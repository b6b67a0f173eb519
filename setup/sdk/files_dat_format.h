// files.dat, the product archive, as setup reads it and the filesdat packer writes it.
//
// The file starts with a directory of 276-byte entries, ended by an entry whose name is empty (or
// by the end of the file). Each entry, all numbers little-endian:
//
//   offset  bytes  field
//        0    260  name         zero-terminated, backslash separators; looked up ignoring letter case
//      260      4  block_size   bytes per block; 0 for a compressed member
//      264      4  reserved     CRC-32 of the member's content (as zip, PNG and zlib's crc32
//                                compute it); 0 means no checksum (archives made before it was stored)
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
// smaller than its block pairs, so an archive may mix the forms.
//
// A member of an LZMA group also has block size 0; its data_offset points at its slot in the
// group's table, whose first four bytes are 0xFFFFFFFF where a deflate member has its length. A
// group is a header, one slot per member and one raw LZMA stream of the members' contents, one
// after the other in slot order:
//
//   group offset  bytes  field
//              0      4  tag            "LZG1"
//              4      4  count          members in the group, at least 1
//              8      4  length         bytes the stream decodes to: the members' sizes added up
//             12      4  stream_length  bytes of the stream
//             16      1  properties     lc + 9 * (lp + 5 * pb), with lc + lp <= 4 and pb <= 4
//             17      4  dictionary     dictionary size, at most kMaxGroupDictionary
//             21      3  zero
//             24  16*count  slots, each: 0xFFFFFFFF, the group's offset, the member's offset in
//                        the decoded stream (the sizes of the slots before it added up), its size
//   24 + 16*count  stream_length  the LZMA stream (no header of its own; an end marker is allowed)
//
// A member is read by decoding its group from the stream's start; its slot's size must equal the
// entry's. An older setup takes the slot's marker for a deflate length that runs past the end of
// the archive (which the packer keeps below 4 GiB) and treats the member as damaged.
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

// A compressed member: its block size is 0.
inline bool is_compressed(const Entry &entry) { return entry.block_size == 0; }
const uint32_t kCompressedLengthField = 4;

// LZMA groups (see above).
const uint32_t kGroupSlotMarker = 0xFFFFFFFFu;  // where a deflate member has its length
const size_t kGroupHeaderSize = 24;
const size_t kGroupSlotSize = 16;
const size_t kLzmaPropertiesSize = 5;           // the properties byte and the dictionary size
const uint32_t kMaxGroupDictionary = 8u << 20;  // bounds the memory a reader needs
const unsigned char kGroupTag[4] = {'L', 'Z', 'G', '1'};

struct GroupHeader {
  bool tagged;  // the tag is there
  uint32_t count;
  uint32_t length;
  uint32_t stream_length;
  unsigned char properties[kLzmaPropertiesSize];  // as the decoder takes them
};

struct GroupSlot {
  uint32_t marker;
  uint32_t group_offset;
  uint32_t member_offset;
  uint32_t size;
};

inline void encode_group_header(const GroupHeader &header, unsigned char out[kGroupHeaderSize]) {
  memset(out, 0, kGroupHeaderSize);
  memcpy(out, kGroupTag, sizeof kGroupTag);
  put32(out + 4, header.count);
  put32(out + 8, header.length);
  put32(out + 12, header.stream_length);
  memcpy(out + 16, header.properties, kLzmaPropertiesSize);
}

inline void decode_group_header(const unsigned char in[kGroupHeaderSize], GroupHeader *header) {
  header->tagged = memcmp(in, kGroupTag, sizeof kGroupTag) == 0;
  header->count = get32(in + 4);
  header->length = get32(in + 8);
  header->stream_length = get32(in + 12);
  memcpy(header->properties, in + 16, kLzmaPropertiesSize);
}

inline void encode_group_slot(const GroupSlot &slot, unsigned char out[kGroupSlotSize]) {
  put32(out, slot.marker);
  put32(out + 4, slot.group_offset);
  put32(out + 8, slot.member_offset);
  put32(out + 12, slot.size);
}

inline void decode_group_slot(const unsigned char in[kGroupSlotSize], GroupSlot *slot) {
  slot->marker = get32(in);
  slot->group_offset = get32(in + 4);
  slot->member_offset = get32(in + 8);
  slot->size = get32(in + 12);
}

// Offsets of a group's slot table and stream from the start of the file.
inline uint64_t group_slots_at(uint32_t group_offset) { return static_cast<uint64_t>(group_offset) + kGroupHeaderSize; }
inline uint64_t group_stream_at(uint32_t group_offset, uint32_t count) {
  return group_slots_at(group_offset) + static_cast<uint64_t>(count) * kGroupSlotSize;
}

// What is wrong with a group header at group_offset of an archive of archive_length bytes, in words
// about a member of the group, or null when it can be read: its tag, count, properties,
// dictionary, and whether its slots and stream lie inside the archive.
inline const char *group_header_damage(const GroupHeader &header, uint32_t group_offset, uint64_t archive_length) {
  unsigned properties = header.properties[0];
  unsigned lc = properties % 9, lp = properties / 9 % 5;
  if (!header.tagged) return "its group has no tag";
  if (header.count == 0) return "its group has no members";
  if (properties >= 9 * 5 * 5 || lc + lp > 4) return "its group's LZMA properties are outside the limits";
  if (get32(header.properties + 1) > kMaxGroupDictionary) return "its group's dictionary is larger than allowed";
  if (group_stream_at(group_offset, header.count) + header.stream_length > archive_length)
    return "its group runs past the end of the archive";
  return nullptr;
}

// What is wrong with the next slot of the group at group_offset (length bytes decoded), when the
// slots before it add up to offset bytes, in words about a member of the group, or null. After
// the last slot offset must equal length.
inline const char *group_slot_damage(const GroupSlot &slot, uint32_t group_offset, uint64_t offset, uint32_t length) {
  if (slot.marker != kGroupSlotMarker || slot.group_offset != group_offset) return "its group has a damaged slot";
  if (slot.member_offset != offset) return "its group's members overlap or leave a gap";
  if (offset + slot.size > length) return "its group's members are larger than what it decodes to";
  return nullptr;
}

// The number of the slot at data_offset in a group of count slots at group_offset: true and
// *index set when data_offset is exactly the start of one of them.
inline bool group_slot_index(uint32_t group_offset, uint32_t count, uint32_t data_offset, uint32_t *index) {
  uint64_t first = group_slots_at(group_offset);
  if (data_offset < first || (data_offset - first) % kGroupSlotSize != 0) return false;
  uint64_t n = (data_offset - first) / kGroupSlotSize;
  if (n >= count) return false;
  *index = static_cast<uint32_t>(n);
  return true;
}

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

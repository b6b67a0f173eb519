// LZMA groups: the members' files read one after the other as one stream into the encoder, whose
// output goes to the archive behind the group's header and slot table.
#include "group_pack.h"

#include <zlib.h>

#include <cstdlib>

#include "LzmaEnc.h"
#include "file_io.h"
#include "messages.h"

namespace {

void *lzma_alloc(void *, size_t size) { return malloc(size); }
void lzma_free(void *, void *block) { free(block); }
ISzAlloc g_lzma_memory = {lzma_alloc, lzma_free};

// The encoder's input: each member's file in turn, its checksum taken on the way.
struct MemberStream {
  ISeqInStream vtable;
  const std::vector<GroupMember> *members;
  size_t current;
  FILE *file;
  uint64_t read;  // of the current member
  uint32_t crc;
  bool failed;    // reported
};

// Closes the current member's file and completes its entry; false when it was not as planned.
bool finish_member(MemberStream *in) {
  const GroupMember &member = (*in->members)[in->current];
  bool complete = !ferror(in->file) && in->read == member.length && fgetc(in->file) == EOF;
  bool read_error = ferror(in->file) != 0;
  std::string why = read_error ? error_text() : "its length changed while it was packed";
  fclose(in->file);
  in->file = nullptr;
  if (!complete) {
    report("cannot read %s: %s", member.source.c_str(), why.c_str());
    return false;
  }
  member.entry->reserved = in->crc;
  ++in->current;
  return true;
}

SRes read_members(void *p, void *buffer, size_t *size) {
  MemberStream *in = reinterpret_cast<MemberStream *>(p);
  size_t wanted = *size;
  *size = 0;
  while (*size == 0 && in->current < in->members->size()) {
    const GroupMember &member = (*in->members)[in->current];
    if (!in->file) {
      in->file = fopen(member.source.c_str(), "rb");
      in->read = 0;
      in->crc = 0;
      if (!in->file) {
        report("cannot read %s: %s", member.source.c_str(), error_text().c_str());
        in->failed = true;
        return SZ_ERROR_READ;
      }
    }
    uint64_t left = member.length - in->read;
    size_t n = left < wanted ? static_cast<size_t>(left) : wanted;
    n = n ? fread(buffer, 1, n, in->file) : 0;
    in->crc = static_cast<uint32_t>(crc32(in->crc, static_cast<const Bytef *>(buffer), static_cast<uInt>(n)));
    in->read += n;
    *size = n;
    if (n == 0 && !finish_member(in)) {
      in->failed = true;
      return SZ_ERROR_READ;
    }
  }
  return SZ_OK;
}

// The encoder's output: the archive, counting what it receives.
struct ArchiveStream {
  ISeqOutStream vtable;
  FILE *out;
  uint64_t written;
};

size_t write_archive(void *p, const void *data, size_t size) {
  ArchiveStream *stream = reinterpret_cast<ArchiveStream *>(p);
  size_t n = fwrite(data, 1, size, stream->out);
  stream->written += n;
  return n;
}

// Encodes the members' content behind the slot table; the header's properties and the stream's
// length follow from it.
bool encode_members(const std::vector<GroupMember> &members, uint32_t dictionary, FILE *out,
                    files_dat::GroupHeader *header) {
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = 9;
  props.dictSize = dictionary;
  props.numThreads = 1;
  props.writeEndMark = 0;
  MemberStream in = {{read_members}, &members, 0, nullptr, 0, 0, false};
  ArchiveStream stream = {{write_archive}, out, 0};
  CLzmaEncHandle encoder = LzmaEnc_Create(&g_lzma_memory);
  SizeT properties = files_dat::kLzmaPropertiesSize;
  SRes result = !encoder ? SZ_ERROR_MEM : LzmaEnc_SetProps(encoder, &props);
  if (result == SZ_OK) result = LzmaEnc_WriteProperties(encoder, header->properties, &properties);
  if (result == SZ_OK)
    result = LzmaEnc_Encode(encoder, &stream.vtable, &in.vtable, nullptr, &g_lzma_memory, &g_lzma_memory);
  if (encoder) LzmaEnc_Destroy(encoder, &g_lzma_memory, &g_lzma_memory);
  if (in.file) fclose(in.file);
  if (in.failed) return false;
  if (result != SZ_OK || in.current != members.size()) {
    report(result == SZ_ERROR_MEM ? "out of memory while compressing" : "cannot compress: error %d", result);
    return false;
  }
  if (stream.written > 0xFFFFFFFFu) {
    report("a group compresses to 4 GiB or more: give a smaller --group-size");
    return false;
  }
  header->stream_length = static_cast<uint32_t>(stream.written);
  return true;
}

}  // namespace

uint32_t group_dictionary(uint64_t length, uint32_t group_size) {
  uint64_t largest = group_size < kPackerDictionary ? group_size : kPackerDictionary;
  if (length > largest) length = largest;
  return length < 4096 ? 4096 : static_cast<uint32_t>(length);
}

bool pack_group(const std::vector<GroupMember> &members, uint32_t group_size, FILE *out, const std::string &archive,
                uint64_t position, uint64_t *span) {
  uint64_t length = 0;
  for (const GroupMember &member : members) length += member.length;
  if (length > 0xFFFFFFFFu || position > 0xFFFFFFFFu) {
    report("%s would pass 4 GiB: pack fewer files", archive.c_str());
    return false;
  }
  files_dat::GroupHeader header = {true, static_cast<uint32_t>(members.size()), static_cast<uint32_t>(length), 0, {}};
  uint64_t stream_at = files_dat::group_stream_at(static_cast<uint32_t>(position), header.count);
  uint32_t dictionary = group_dictionary(length, group_size);
  if (!seek_to(out, stream_at) || !encode_members(members, dictionary, out, &header)) {
    if (ferror(out)) report("cannot write %s: %s", archive.c_str(), error_text().c_str());
    return false;
  }
  // The header and the slots, now that the stream's length is known.
  unsigned char raw[files_dat::kGroupHeaderSize];
  files_dat::encode_group_header(header, raw);
  bool ok = seek_to(out, position) && fwrite(raw, 1, sizeof raw, out) == sizeof raw;
  uint32_t offset = 0;
  for (size_t i = 0; ok && i < members.size(); ++i) {
    files_dat::Entry *entry = members[i].entry;
    entry->block_size = 0;
    entry->size = static_cast<uint32_t>(members[i].length);
    entry->data_offset = static_cast<uint32_t>(files_dat::group_slots_at(static_cast<uint32_t>(position)) +
                                               i * files_dat::kGroupSlotSize);
    files_dat::GroupSlot slot = {files_dat::kGroupSlotMarker, static_cast<uint32_t>(position), offset, entry->size};
    unsigned char raw_slot[files_dat::kGroupSlotSize];
    files_dat::encode_group_slot(slot, raw_slot);
    ok = fwrite(raw_slot, 1, sizeof raw_slot, out) == sizeof raw_slot;
    offset += entry->size;
  }
  *span = stream_at + header.stream_length - position;
  if (ok && seek_to(out, position + *span)) return true;
  report("cannot write %s: %s", archive.c_str(), error_text().c_str());
  return false;
}

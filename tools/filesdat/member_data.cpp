// Reading a member's content and checking it against its entry's checksum.
#include "member_data.h"

#include <zlib.h>

#include "block_buffers.h"
#include "file_io.h"
#include "member_deflate.h"
#include "messages.h"

namespace {

bool checksum_differs(const files_dat::Entry &entry) {
  report("the content of \"%s\" does not match its checksum: the archive is damaged", entry.name);
  return false;
}

}  // namespace

int MemberUnpacker::Source::ReadAt(uint64_t offset, void *out, size_t size) {
  return seek_to(file, offset) && fread(out, 1, size, file) == size;
}

MemberUnpacker::MemberUnpacker(FILE *archive, const std::string &archive_path)
    : archive_(archive), path_(archive_path), length_(0), length_known_(false) {
  source_.file = archive;
}

bool MemberUnpacker::unpack(const files_dat::Entry &entry, FILE *out, const std::string &target) {
  if (!files_dat::is_compressed(entry)) return unpack_blocks(entry, out, target);
  if (!length_known_ && !stream_length(archive_, &length_)) {
    report("cannot read %s: %s", path_.c_str(), error_text().c_str());
    return false;
  }
  length_known_ = true;
  unsigned char field[files_dat::kCompressedLengthField];
  if (source_.ReadAt(entry.data_offset, field, sizeof field) && files_dat::get32(field) == files_dat::kGroupSlotMarker)
    return unpack_group(entry, out, target);
  return inflate_member(archive_, length_, entry, out, path_, target);
}

bool MemberUnpacker::unpack_group(const files_dat::Entry &entry, FILE *out, const std::string &target) {
  bool read = groups_.Begin(&source_, length_, entry) != 0;
  for (;;) {
    const unsigned char *data = nullptr;
    size_t n = 0;
    if (!read || !groups_.Next(&data, &n)) {
      report("%s: \"%s\" cannot be read: %s: the archive is damaged", path_.c_str(), entry.name,
             groups_.damage() ? groups_.damage() : "its group is damaged");
      return false;
    }
    if (n == 0) return true;
    if (out && fwrite(data, 1, n, out) != n) {
      report("cannot write %s: %s", target.c_str(), error_text().c_str());
      return false;
    }
  }
}

bool MemberUnpacker::unpack_blocks(const files_dat::Entry &entry, FILE *out, const std::string &target) {
  // An empty member's checksum is that of no bytes, 0: any other marks a damaged entry.
  if (entry.size == 0) return entry.reserved == 0 || checksum_differs(entry);
  BlockBuffers buffers;
  if (!buffers.allocate(entry.block_size)) {
    report("cannot allocate two blocks of %lu bytes for %s", static_cast<unsigned long>(entry.block_size),
           entry.name);
    return false;
  }
  if (!seek_to(archive_, entry.data_offset)) {
    report("cannot read %s: %s", path_.c_str(), error_text().c_str());
    return false;
  }
  size_t block = entry.block_size;
  uint32_t remaining = entry.size, crc = 0;
  while (remaining > 0) {
    size_t n = remaining < block ? remaining : block;
    if (fread(buffers.data, 1, block, archive_) != block || fread(buffers.mask, 1, block, archive_) != block) {
      report("cannot read the data of %s from %s", entry.name, path_.c_str());
      return false;
    }
    for (size_t i = 0; i < n; ++i) buffers.data[i] ^= buffers.mask[i];
    crc = static_cast<uint32_t>(crc32(crc, buffers.data, static_cast<uInt>(n)));
    if (out && fwrite(buffers.data, 1, n, out) != n) {
      report("cannot write %s: %s", target.c_str(), error_text().c_str());
      return false;
    }
    remaining -= static_cast<uint32_t>(n);
  }
  return entry.reserved == 0 || entry.reserved == crc || checksum_differs(entry);
}

// Reading a member's content and checking it against its entry's checksum.
#include "member_data.h"

#include "block_buffers.h"
#include "file_io.h"
#include "member_deflate.h"
#include "messages.h"

bool unpack_member(FILE *archive, const files_dat::Entry &entry, FILE *out, const std::string &archive_path,
                   const std::string &target) {
  if (files_dat::is_compressed(entry)) {
    uint64_t length = 0;
    if (!stream_length(archive, &length)) {
      report("cannot read %s: %s", archive_path.c_str(), error_text().c_str());
      return false;
    }
    return inflate_member(archive, length, entry, out, archive_path, target);
  }
  // An empty member's checksum is that of no bytes, 0: any other marks a damaged entry.
  if (entry.size == 0 && entry.reserved != 0) {
    report("the content of \"%s\" does not match its checksum: the archive is damaged", entry.name);
    return false;
  }
  if (entry.size == 0) return true;
  BlockBuffers buffers;
  if (!buffers.allocate(entry.block_size)) {
    report("cannot allocate two blocks of %lu bytes for %s", static_cast<unsigned long>(entry.block_size),
           entry.name);
    return false;
  }
  if (!seek_to(archive, entry.data_offset)) {
    report("cannot read %s: %s", archive_path.c_str(), error_text().c_str());
    return false;
  }
  size_t block = entry.block_size;
  uint32_t remaining = entry.size, crc = 0;
  while (remaining > 0) {
    size_t n = remaining < block ? remaining : block;
    if (fread(buffers.data, 1, block, archive) != block || fread(buffers.mask, 1, block, archive) != block) {
      report("cannot read the data of %s from %s", entry.name, archive_path.c_str());
      return false;
    }
    for (size_t i = 0; i < n; ++i) buffers.data[i] ^= buffers.mask[i];
    crc = files_dat::crc32_update(crc, buffers.data, n);
    if (out && fwrite(buffers.data, 1, n, out) != n) {
      report("cannot write %s: %s", target.c_str(), error_text().c_str());
      return false;
    }
    remaining -= static_cast<uint32_t>(n);
  }
  if (entry.reserved != 0 && entry.reserved != crc) {
    report("the content of \"%s\" does not match its checksum: the archive is damaged", entry.name);
    return false;
  }
  return true;
}

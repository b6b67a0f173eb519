// filesdat create: packs files into a new files.dat, one block at a time.
#include <zlib.h>

#include <cstring>

#include "block_buffers.h"
#include "block_limits.h"
#include "commands.h"
#include "file_io.h"
#include "files_dat_format.h"
#include "group_pack.h"
#include "member_deflate.h"
#include "member_name.h"
#include "messages.h"
#include "random_source.h"
#include "script_items.h"
#include "staged_file.h"

namespace {

const uint64_t kMaxOffset = 0xFFFFFFFFu;
// Members from this size on are packed outside LZMA groups when deflate cannot shrink them; smaller
// ones take little time to decode and may share content with their neighbours.
const uint64_t kIncompressibleFrom = 65536;

struct Member {
  std::string stored;  // name in the archive, backslash separators
  std::string source;  // where the file is read from
  files_dat::Entry entry;
};

std::string native_path(std::string stored) {
  for (char &c : stored)
    if (c == '\\') c = kSeparator;
  return stored;
}

// Turns the names into members; reports every name that cannot be packed. A name given as
// written is stored exactly so (setup looks a member up by the script's text), once it is known
// to be safe; other names are stored in their tidied form.
bool collect_members(const std::string &source_dir, const std::vector<std::string> &names, bool as_written,
                     std::vector<Member> *members) {
  bool ok = true;
  for (const std::string &given : names) {
    Member member;
    std::string why, tidied;
    if (!stored_name_for(given, &tidied, &why)) {
      report("cannot store \"%s\": %s", given.c_str(), why.c_str());
      ok = false;
      continue;
    }
    member.stored = as_written ? given : tidied;
    if (member.stored.size() > files_dat::kMaxNameLength) {
      report("cannot store \"%s\": the name is longer than %lu bytes", given.c_str(),
             static_cast<unsigned long>(files_dat::kMaxNameLength));
      ok = false;
      continue;
    }
    bool twice = false;
    for (const Member &earlier : *members) twice = twice || same_name(earlier.stored, member.stored);
    if (twice) {
      report("\"%s\" is named twice (names ignore letter case)", member.stored.c_str());
      ok = false;
      continue;
    }
    member.source = join_path(source_dir, native_path(tidied));
    if (!is_regular_file(member.source)) {
      report("cannot read %s: %s", member.source.c_str(),
             is_directory(member.source) ? "it is a folder" : "no such file");
      ok = false;
      continue;
    }
    memset(&member.entry, 0, sizeof member.entry);
    memcpy(member.entry.name, member.stored.c_str(), member.stored.size());
    members->push_back(member);
  }
  return ok;
}

bool write_bytes(FILE *out, const void *bytes, size_t count, const std::string &archive) {
  if (fwrite(bytes, 1, count, out) == count) return true;
  report("cannot write %s: %s", archive.c_str(), error_text().c_str());
  return false;
}

// Streams one source file into the archive as block pairs; *size receives its length and *sum
// the checksum of its content.
bool pack_member(FILE *source, const Member &member, uint32_t block_size, FILE *out, const std::string &archive,
                 RandomSource *random, BlockBuffers *buffers, uint32_t *size, uint32_t *sum) {
  uint64_t total = 0;
  uint32_t crc = 0;
  for (;;) {
    size_t n = fread(buffers->data, 1, block_size, source);
    if (n < block_size && ferror(source)) {
      report("cannot read %s: %s", member.source.c_str(), error_text().c_str());
      return false;
    }
    if (n == 0) break;
    if (total + n > 0xFFFFFFFFu) {
      report("%s is too large: members must be smaller than 4 GiB", member.source.c_str());
      return false;
    }
    crc = static_cast<uint32_t>(crc32(crc, buffers->data, static_cast<uInt>(n)));
    memset(buffers->data + n, 0, block_size - n);
    if (!random->fill(buffers->mask, block_size)) return false;
    for (size_t i = 0; i < block_size; ++i) buffers->data[i] ^= buffers->mask[i];
    if (!write_bytes(out, buffers->data, block_size, archive)) return false;
    if (!write_bytes(out, buffers->mask, block_size, archive)) return false;
    total += n;
    if (n < block_size) break;
  }
  *size = static_cast<uint32_t>(total);
  *sum = crc;
  return true;
}

// Writes one member at position: compressed when that is smaller than its block pairs (and
// compress is set), else as block pairs of fixed_size bytes, or of a size fitted to its length
// when fixed_size is 0. Fills the member's entry and *span with the bytes it takes.
bool write_member(FILE *source, Member *member, uint32_t fixed_size, bool compress, FILE *out,
                  const std::string &archive, uint64_t position, RandomSource *random, BlockBuffers *buffers,
                  uint64_t *span) {
  uint64_t length = 0;
  if (!stream_length(source, &length) || !seek_to(source, 0)) {
    report("cannot read %s: %s", member->source.c_str(), error_text().c_str());
    return false;
  }
  uint32_t block_size = fixed_size ? fixed_size : fitted_block_size(length), size = 0, sum = 0;
  int packed = -1;
  if (compress && length < 0xFFFFFFFFu) {
    uint64_t limit = files_dat::member_span(block_size, static_cast<uint32_t>(length));
    packed = deflate_member(source, member->source, out, archive, position, limit < kMaxOffset ? limit : kMaxOffset,
                            span, &size, &sum);
    if (packed == 0) return false;
    if (packed < 0 && !(seek_to(source, 0) && seek_to(out, position))) {
      report("cannot write %s: %s", archive.c_str(), error_text().c_str());
      return false;
    }
  }
  if (packed < 0) {
    if (!pack_member(source, *member, block_size, out, archive, random, buffers, &size, &sum)) return false;
    *span = files_dat::member_span(block_size, size);
  }
  member->entry.block_size = packed > 0 ? 0 : block_size;
  member->entry.reserved = sum;
  member->entry.size = size;
  member->entry.data_offset = static_cast<uint32_t>(position);
  return true;
}

// Members waiting to be packed as one LZMA group, in the order they are to be installed.
struct PendingGroup {
  std::vector<GroupMember> members;
  uint64_t length = 0;
};

// Writes the pending group at *position, if there is one, and moves *position past it.
bool flush_group(PendingGroup *group, uint32_t group_size, FILE *out, const std::string &archive,
                 uint64_t *position) {
  if (group->members.empty()) return true;
  uint64_t span = 0;
  if (!pack_group(group->members, group_size, out, archive, *position, &span)) return false;
  *position += span;
  group->members.clear();
  group->length = 0;
  return true;
}

// Packs the member in LZMA form: into the pending group (written first when the member would take
// it past group_size bytes of content; a larger member has a group of its own), or, when it is
// large and deflate cannot shrink it, as a deflate member of its own, which decodes at the speed of
// a copy.
bool pack_lzma_member(Member *member, const PackOptions &options, PendingGroup *group, FILE *out,
                      const std::string &archive, uint64_t *position, RandomSource *random, BlockBuffers *buffers) {
  FILE *source = fopen(member->source.c_str(), "rb");
  uint64_t length = 0;
  if (!source || !stream_length(source, &length)) {
    report("cannot read %s: %s", member->source.c_str(), error_text().c_str());
    if (source) fclose(source);
    return false;
  }
  bool alone = length >= kIncompressibleFrom && !deflate_shrinks(source);
  uint64_t span = 0;
  bool ok = !alone || write_member(source, member, options.block_size, true, out, archive, *position, random,
                                   buffers, &span);
  fclose(source);
  *position += span;
  if (alone || !ok) return ok;
  if (length >= 0xFFFFFFFFu) {
    report("%s is too large: members must be smaller than 4 GiB", member->source.c_str());
    return false;
  }
  if (group->length + length > options.group_size && !flush_group(group, options.group_size, out, archive, position))
    return false;
  group->members.push_back({member->source, length, &member->entry});
  group->length += length;
  return true;
}

// Writes the data of every member after the space reserved for the directory.
bool write_members(std::vector<Member> *members, const PackOptions &options, FILE *out, const std::string &archive) {
  RandomSource random;
  BlockBuffers buffers;
  if (!random.open()) return false;
  uint32_t largest = options.block_size ? options.block_size : kDefaultBlockSize;
  if (!buffers.allocate(largest)) {
    report("cannot allocate two blocks of %lu bytes", static_cast<unsigned long>(largest));
    return false;
  }
  uint64_t position = (members->size() + 1) * files_dat::kEntrySize;
  PendingGroup group;
  for (Member &member : *members) {
    if (position > kMaxOffset) {
      report("the archive would pass 4 GiB before %s; pack fewer files", member.stored.c_str());
      return false;
    }
    if (options.form == PackForm::kLzma) {
      if (!pack_lzma_member(&member, options, &group, out, archive, &position, &random, &buffers)) return false;
      continue;
    }
    FILE *source = fopen(member.source.c_str(), "rb");
    if (!source) {
      report("cannot read %s: %s", member.source.c_str(), error_text().c_str());
      return false;
    }
    uint64_t span = 0;
    bool ok = write_member(source, &member, options.block_size, options.form == PackForm::kDeflate, out, archive,
                           position, &random, &buffers, &span);
    fclose(source);
    if (!ok) return false;
    position += span;
  }
  if (!flush_group(&group, options.group_size, out, archive, &position)) return false;
  // An older setup takes a group's slot marker for a deflate length that runs past the archive's
  // end, which holds only while the archive stays below 4 GiB.
  if (options.form == PackForm::kLzma && position > kMaxOffset) {
    report("%s would pass 4 GiB: pack fewer files", archive.c_str());
    return false;
  }
  return true;
}

// The directory: one entry per member and the all-zero terminator.
bool write_directory(const std::vector<Member> &members, FILE *out, const std::string &archive, bool final) {
  unsigned char raw[files_dat::kEntrySize];
  for (const Member &member : members) {
    if (final) {
      files_dat::encode_entry(member.entry, raw);
    } else {
      memset(raw, 0, sizeof raw);
    }
    if (!write_bytes(out, raw, sizeof raw, archive)) return false;
  }
  memset(raw, 0, sizeof raw);
  return write_bytes(out, raw, sizeof raw, archive);
}

}  // namespace

int run_create(const std::string &archive, const std::string &source_dir, const PackOptions &options,
               const std::vector<std::string> &names, bool names_as_written) {
  std::vector<Member> members;
  if (!collect_members(source_dir, names, names_as_written, &members)) return 1;
  StagedFile output;
  if (!output.open(archive)) return 1;
  FILE *out = output.stream();
  // The directory's space is reserved first and filled in once every member's size is known.
  if (!write_directory(members, out, archive, false)) return 1;
  if (!write_members(&members, options, out, archive)) return 1;
  if (!seek_to(out, 0)) {
    report("cannot write %s: %s", archive.c_str(), error_text().c_str());
    return 1;
  }
  if (!write_directory(members, out, archive, true)) return 1;
  return output.commit() ? 0 : 1;
}

int run_create_from_script(const std::string &archive, const std::string &source_dir, const PackOptions &options,
                           const std::string &script_path) {
  IniFile script;
  if (!script.load(script_path)) {
    report("cannot read %s: %s", script_path.c_str(), error_text().c_str());
    return 1;
  }
  std::vector<std::string> names = script_source_names(script);
  if (names.empty()) {
    report("%s names no files to pack: its [FILES] section has no filesrc key that setup reads", script_path.c_str());
    return 1;
  }
  return run_create(archive, source_dir, options, names, true);
}

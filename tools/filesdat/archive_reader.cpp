// Reading and checking the directory of an existing files.dat.
#include "archive_reader.h"

#include "file_io.h"
#include "messages.h"

namespace {

std::string number(uint64_t value) { return std::to_string(static_cast<unsigned long long>(value)); }

}  // namespace

FILE *open_archive(const std::string &path) {
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) report("cannot open %s: %s", path.c_str(), error_text().c_str());
  return file;
}

bool read_directory(FILE *archive, const std::string &path, Directory *dir) {
  if (!stream_length(archive, &dir->length) || !seek_to(archive, 0)) {
    report("cannot read %s: %s", path.c_str(), error_text().c_str());
    return false;
  }
  uint64_t position = 0;
  uint64_t first_data = UINT64_MAX;  // lowest offset of any member's data seen so far
  for (;;) {
    if (position + files_dat::kEntrySize > first_data) {
      dir->damage = "the directory runs into member data at offset " + number(first_data) +
                    " (no terminator entry)";
      break;
    }
    unsigned char raw[files_dat::kEntrySize];
    size_t got = fread(raw, 1, files_dat::kEntrySize, archive);
    if (got < files_dat::kEntrySize && ferror(archive)) {
      report("cannot read %s: %s", path.c_str(), error_text().c_str());
      return false;
    }
    if (got == 0) break;  // no terminator, but the directory ends cleanly with the file
    if (got < files_dat::kEntrySize) {
      dir->damage = "the directory is cut off: the entry at offset " + number(position) + " has only " +
                    number(got) + " of " + number(files_dat::kEntrySize) + " bytes";
      position += got;
      break;
    }
    position += files_dat::kEntrySize;
    files_dat::Entry entry;
    files_dat::decode_entry(raw, &entry);
    if (files_dat::ends_directory(entry)) {
      dir->terminated = true;
      break;
    }
    if (entry.size > 0 && entry.data_offset < first_data) first_data = entry.data_offset;
    dir->entries.push_back(entry);
  }
  dir->end = position;
  return true;
}

std::string entry_damage(const Directory &dir, const files_dat::Entry &entry) {
  if (!entry.name_terminated) return "the name is not terminated within its 260 bytes";
  if (files_dat::is_compressed(entry)) {
    // The stream's own length is read with its data (member_data).
    if (static_cast<uint64_t>(entry.data_offset) + files_dat::kCompressedLengthField > dir.length)
      return "its compressed data at offset " + number(entry.data_offset) + " lies past the end of the archive (" +
             number(dir.length) + " bytes)";
    if (entry.data_offset < dir.end) return "its data at offset " + number(entry.data_offset) + " overlaps the directory";
    return "";
  }
  uint64_t span = files_dat::member_span(entry.block_size, entry.size);
  if (!files_dat::member_fits(entry, dir.length))
    return "its data (" + number(span) + " bytes at offset " + number(entry.data_offset) +
           ") runs past the end of the archive (" + number(dir.length) + " bytes)";
  if (entry.size > 0 && entry.data_offset < dir.end)
    return "its data at offset " + number(entry.data_offset) + " overlaps the directory";
  return "";
}

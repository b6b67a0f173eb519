// filesdat list and verify: reading an archive's directory without writing anything.
#include <cstdio>

#include "archive_reader.h"
#include "commands.h"
#include "member_data.h"
#include "messages.h"

namespace {

// Opens and reads the directory; false (reported) when the archive cannot be read.
bool load_directory(const std::string &archive, Directory *dir) {
  FILE *file = open_archive(archive);
  if (!file) return false;
  bool ok = read_directory(file, archive, dir);
  fclose(file);
  return ok;
}

}  // namespace

int run_list(const std::string &archive) {
  Directory dir;
  if (!load_directory(archive, &dir)) return 1;
  for (const files_dat::Entry &entry : dir.entries)
    printf("%10lu  %s\n", static_cast<unsigned long>(entry.size), entry.name);
  if (!dir.damage.empty()) {
    report("%s is damaged: %s", archive.c_str(), dir.damage.c_str());
    return 1;
  }
  return 0;
}

int run_verify(const std::string &archive) {
  Directory dir;
  if (!load_directory(archive, &dir)) return 1;
  size_t problems = 0;
  if (!dir.damage.empty()) {
    report("%s: %s", archive.c_str(), dir.damage.c_str());
    ++problems;
  }
  FILE *file = fopen(archive.c_str(), "rb");
  MemberUnpacker unpacker(file, archive);
  for (size_t i = 0; i < dir.entries.size(); ++i) {
    std::string damage = entry_damage(dir, dir.entries[i]);
    if (damage.empty()) {
      // The content itself, against its checksum (the reason is reported by the unpacker).
      if (file && !unpacker.unpack(dir.entries[i], nullptr, "")) ++problems;
      continue;
    }
    report("%s: entry %lu (\"%s\"): %s", archive.c_str(), static_cast<unsigned long>(i + 1), dir.entries[i].name,
           damage.c_str());
    ++problems;
  }
  if (file) fclose(file);
  if (problems > 0) {
    report("%s is damaged (%lu problem%s)", archive.c_str(), static_cast<unsigned long>(problems),
           problems == 1 ? "" : "s");
    return 1;
  }
  printf("%s: %lu member%s, %s\n", archive.c_str(), static_cast<unsigned long>(dir.entries.size()),
         dir.entries.size() == 1 ? "" : "s", dir.terminated ? "OK" : "OK (directory ends with the file)");
  return 0;
}

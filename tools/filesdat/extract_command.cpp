// filesdat extract: writes members below an output folder, never outside it.
#include <cstdio>

#include "archive_reader.h"
#include "commands.h"
#include "file_io.h"
#include "member_data.h"
#include "member_name.h"
#include "messages.h"
#include "staged_file.h"

namespace {

// The entries to extract: those named (first match wins, as in setup), or every entry whose name
// was not used by an earlier one. False (reported) when a named member does not exist.
bool select_entries(const Directory &dir, const std::vector<std::string> &names,
                    std::vector<const files_dat::Entry *> *chosen) {
  bool ok = true;
  if (names.empty()) {
    for (const files_dat::Entry &entry : dir.entries) {
      const files_dat::Entry *first = nullptr;
      for (const files_dat::Entry &earlier : dir.entries) {
        if (same_name(earlier.name, entry.name)) {
          first = &earlier;
          break;
        }
      }
      if (first == &entry) {
        chosen->push_back(&entry);
      } else {
        report("skipping a second member named \"%s\" (the first one is used)", entry.name);
      }
    }
    return ok;
  }
  for (std::string name : names) {
    for (char &c : name)
      if (c == '/') c = '\\';
    const files_dat::Entry *found = nullptr;
    for (const files_dat::Entry &entry : dir.entries) {
      if (entry.name_terminated && same_name(entry.name, name)) {
        found = &entry;
        break;
      }
    }
    if (found) {
      chosen->push_back(found);
    } else {
      report("no member named \"%s\"", name.c_str());
      ok = false;
    }
  }
  return ok;
}

// Checks the member and its name, then writes it below output_dir.
bool extract_entry(MemberUnpacker *unpacker, const Directory &dir, const files_dat::Entry &entry,
                   const std::string &output_dir) {
  std::string damage = entry_damage(dir, entry);
  if (!damage.empty()) {
    report("cannot extract \"%s\": %s", entry.name, damage.c_str());
    return false;
  }
  std::string relative, why;
  if (!output_path_for(entry.name, &relative, &why)) {
    report("refusing member \"%s\": %s; nothing is written outside the output folder", entry.name, why.c_str());
    return false;
  }
  std::string target = join_path(output_dir, relative);
  std::string folder = parent_of(target);
  if (!make_dirs(folder)) {
    report("cannot create folder %s: %s", folder.c_str(), error_text().c_str());
    return false;
  }
  StagedFile output;
  if (!output.open(target)) return false;
  if (!unpacker->unpack(entry, output.stream(), target)) return false;
  return output.commit();
}

}  // namespace

int run_extract(const std::string &archive, const std::string &output_dir, const std::vector<std::string> &names) {
  FILE *file = open_archive(archive);
  if (!file) return 1;
  Directory dir;
  std::vector<const files_dat::Entry *> chosen;
  bool ok = read_directory(file, archive, &dir) && select_entries(dir, names, &chosen);
  if (ok && !dir.damage.empty()) {
    report("%s is damaged: %s", archive.c_str(), dir.damage.c_str());
    ok = false;
  }
  if (!output_dir.empty() && !make_dirs(output_dir)) {
    report("cannot create folder %s: %s", output_dir.c_str(), error_text().c_str());
    ok = false;
    chosen.clear();
  }
  MemberUnpacker unpacker(file, archive);
  for (const files_dat::Entry *entry : chosen) {
    if (!extract_entry(&unpacker, dir, *entry, output_dir)) ok = false;
  }
  fclose(file);
  return ok ? 0 : 1;
}

// LooseFiles: the source directory listed once, names answered from the list.
#include "util/file_kinds.h"
#include "util/loose_files.h"

#include <windows.h>

#include <cstring>

#include "scoped.h"
#include "util/bounded_text.h"

namespace {

// A larger directory is not listed: looking a name up in the list would cost more than asking.
const uint32_t kListLimit = 512;

// The length of name's first part when the list can speak for it: plain ASCII, no drive, no
// wildcard, not "." or "..", not ending in a dot or blank (which the file system would drop).
// 0 when only the file system can tell.
size_t plain_first_part(const char *name) {
  size_t length = strcspn(name, "\\");
  if (length == 0 || name[length - 1] == '.' || name[length - 1] == ' ') return 0;
  for (const char *c = name; *c; ++c)
    if (static_cast<unsigned char>(*c) >= 0x80 || strchr(":/*?\"<>|", *c)) return 0;
  return length;
}

}  // namespace

void LooseFiles::list(const char *dir) {
  dir_ = dir;
  state_ = UNLISTABLE;
  char pattern[MAX_PATH];
  if (!format_text(pattern, sizeof pattern, "%s\\*", dir)) return;
  WIN32_FIND_DATAA found;
  ScopedFind search(pattern, &found);
  if (!search.valid()) return;
  bool complete = true;
  do {
    complete = names_.size() < kListLimit && names_.append(String(found.cFileName)) &&
               (!found.cAlternateFileName[0] || names_.append(String(found.cAlternateFileName)));
  } while (complete && search.next(&found));
  complete = complete && GetLastError() == ERROR_NO_MORE_FILES;
  state_ = complete ? LISTED : UNLISTABLE;
}

bool LooseFiles::listed(const char *text, size_t length) const {
  for (uint32_t i = 0; i < names_.size(); ++i)
    if (ascii_equals_nocase(text, length, names_[i].c_str())) return true;
  return false;
}

int LooseFiles::Has(const char *dir, const char *name) {
  if (!dir || !name) return 0;
  if (state_ == UNLISTED) list(dir);
  size_t first = plain_first_part(name);
  // Nothing of that name in the directory: neither the file nor a folder it could lie in.
  if (state_ == LISTED && dir_.equals(dir) && first > 0 && !listed(name, first)) return 0;
  String path = dir;
  path.append("\\");
  path.append(name);
  return is_regular_file(path.c_str());
}

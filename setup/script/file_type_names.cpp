// File-type names of the script's associations, looked up by extension ignoring letter case.
#include "script/file_type_names.h"

#include "sdk/item_list.h"
#include "sdk/setup_string.h"
#include "util/bounded_text.h"

namespace {

struct FileTypeName {
  String extension;
  String name;
};

ItemList<FileTypeName> g_names;

FileTypeName *find(const char *extension) {
  for (FileTypeName &entry : g_names)
    if (mbcs_compare_nocase(entry.extension.c_str(), extension) == 0) return &entry;
  return nullptr;
}

}  // namespace

int set_file_type_name(const char *extension, const char *name) {
  if (!extension || !name) return 0;
  FileTypeName *known = find(extension);
  if (known) {
    known->name = name;
    return 1;
  }
  FileTypeName entry;
  entry.extension = extension;
  entry.name = name;
  return g_names.append(entry);
}

const char *file_type_name(const char *extension) {
  const FileTypeName *entry = extension ? find(extension) : nullptr;
  return entry ? entry->name.c_str() : nullptr;
}

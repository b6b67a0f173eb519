// Registry roots: conversions between handles, script names and record abbreviations.
#include "util/root_keys.h"

#include <cstring>

#include "util/bounded_text.h"

namespace {

struct RootName {
  HKEY key;
  const char *script_name;
  const char *abbreviation;
};

const RootName kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_USERS, "HKEY_USERS", "HKUS"},
};

}  // namespace

// The predefined roots are small negative numbers sign-extended to pointer width, so the
// 32-bit form converts back exactly on both widths.
HKEY hkey_from_root(int32_t root) { return reinterpret_cast<HKEY>(static_cast<intptr_t>(root)); }

int32_t root_from_hkey(HKEY key) { return static_cast<int32_t>(reinterpret_cast<intptr_t>(key)); }

int32_t root_from_script_name(const char *name) {
  if (!name) return 0;
  for (const RootName &root : kRoots)
    if (ascii_compare_nocase(name, root.script_name) == 0) return root_from_hkey(root.key);
  return 0;
}

const char *root_abbreviation(HKEY key) {
  for (const RootName &root : kRoots)
    if (root.key == key) return root.abbreviation;
  return nullptr;
}

const char *root_text(HKEY key) {
  const char *text = root_abbreviation(key);
  return text ? text : "?";
}

HKEY root_from_abbreviation(const char *abbreviation) {
  if (!abbreviation) return nullptr;
  for (const RootName &root : kRoots)
    if (ascii_compare_nocase(abbreviation, root.abbreviation) == 0) return root.key;
  return nullptr;
}

bool key_levels_are_named(const char *path) {
  size_t length = path ? strlen(path) : 0;
  if (length == 0 || length >= MAX_PATH) return false;
  if (path[0] == '\\' || path[length - 1] == '\\') return false;
  return strstr(path, "\\\\") == nullptr;
}

int key_level_count(const char *path) {
  int count = 1;
  for (const char *c = path; *c; ++c)
    if (*c == '\\') ++count;
  return count;
}

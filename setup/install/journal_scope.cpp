// The rules that match a change of a journal found on disk against the scope of a product's runs.
#include "install/journal_scope.h"

#include <cstring>

#include "util/bounded_text.h"
#include "util/root_keys.h"

namespace {

// A drive path: "X:\" and then components that are neither empty nor made of dots and blanks
// only, without a second colon, a forward slash or a control character.
bool is_plain_path(const char *path) {
  char drive = path[0] | 0x20;
  if (drive < 'a' || drive > 'z' || path[1] != ':' || path[2] != '\\') return false;
  for (const char *c = path + 2; *c; ++c)
    if (*c == ':' || *c == '/' || static_cast<unsigned char>(*c) < 0x20) return false;
  for (const char *component = path + 3; *component;) {
    size_t length = strcspn(component, "\\");
    bool only_dots = true;
    for (size_t i = 0; i < length; ++i)
      if (component[i] != '.' && component[i] != ' ') only_dots = false;
    if (only_dots) return false;
    component += length;
    if (*component) ++component;
  }
  return true;
}

// path is root, or lies below it (ASCII case ignored).
bool at_or_below(const char *path, const char *root) {
  size_t length = strlen(root);
  return length > 0 && ascii_equals_nocase(path, length, root) && (path[length] == 0 || path[length] == '\\');
}

// A folder that holds far more than one product: everything below it cannot be the product's.
bool is_broad(const char *folder) {
  char system[MAX_PATH];
  if (strlen(folder) <= 3) return true;
  if (GetWindowsDirectoryA(system, sizeof system) && ascii_compare_nocase(folder, system) == 0) return true;
  return GetSystemDirectoryA(system, sizeof system) && ascii_compare_nocase(folder, system) == 0;
}

bool in_folder(const char *path, const char *folder) {
  return is_plain_path(folder) && at_or_below(path, folder) && (!is_broad(folder) || strlen(path) == strlen(folder));
}

// key is base or below it; with ancestors, also a key above base.
bool key_matches(const char *key, const char *base, bool ancestors) {
  return at_or_below(key, base) || (ancestors && at_or_below(base, key));
}

}  // namespace

bool scope_has_path(const JournalScope *scope, const char *path) {
  if (!is_plain_path(path)) return false;
  for (const String &folder : scope->folders)
    if (in_folder(path, folder.c_str())) return true;
  for (const String &file : scope->files)
    if (ascii_compare_nocase(path, file.c_str()) == 0) return true;
  return false;
}

bool scope_has_key(const JournalScope *scope, HKEY root, const char *key, bool created_level) {
  if (!key_levels_are_named(key)) return false;
  for (const ScopeKey &tree : scope->key_trees)
    if (tree.root == root && key_matches(key, tree.key.c_str(), created_level)) return true;
  for (const ScopeKey &own : scope->keys)
    if (own.root == root && ascii_compare_nocase(key, own.key.c_str()) == 0) return true;
  for (const ScopeKey &value : scope->values)
    if (value.root == root && (created_level ? at_or_below(value.key.c_str(), key)
                                             : ascii_compare_nocase(value.key.c_str(), key) == 0))
      return true;
  return false;
}

bool scope_has_value(const JournalScope *scope, HKEY root, const char *key, const char *name) {
  if (!key_levels_are_named(key)) return false;
  for (const ScopeKey &tree : scope->key_trees)
    if (tree.root == root && at_or_below(key, tree.key.c_str())) return true;
  for (const ScopeKey &own : scope->keys)
    if (own.root == root && ascii_compare_nocase(key, own.key.c_str()) == 0) return true;
  for (const ScopeKey &value : scope->values)
    if (value.root == root && ascii_compare_nocase(value.key.c_str(), key) == 0 &&
        ascii_compare_nocase(value.name.c_str(), name) == 0)
      return true;
  return false;
}

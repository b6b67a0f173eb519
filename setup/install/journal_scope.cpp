// The scope of a product's runs, for the undo of a journal found on disk.
#include "install/journal_scope.h"

#include <cstring>

#include "install/file_copy.h"
#include "install/start_menu.h"
#include "util/bounded_text.h"
#include "util/product_keys.h"
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

bool in_start_menu(const SetupInfo *info, const char *path) {
  char programs[MAX_PATH];
  if (!read_programs_folder(programs)) return false;
  for (const SetupStartMenu &item : info->start_menu_items) {
    String folder = programs;
    if (item.path.length()) {
      folder.append("\\");
      folder.append(item.path);
      if (in_folder(path, folder.c_str())) return true;
    }
    String shortcut = folder;
    shortcut.append("\\");
    shortcut.append(item.name);
    shortcut.append(".lnk");
    if (ascii_compare_nocase(path, shortcut.c_str()) == 0) return true;
  }
  return false;
}

bool in_script_paths(const SetupInfo *info, const char *path) {
  SetupInfo *writable = const_cast<SetupInfo *>(info);
  String resolved;
  for (const SetupDir &dir : info->dirs)
    if (resolve_destination(writable, dir.path.c_str(), &resolved) && in_folder(path, resolved.c_str())) return true;
  for (const SetupFile &file : info->files)
    if (resolve_destination(writable, file.dest.c_str(), &resolved) && ascii_compare_nocase(path, resolved.c_str()) == 0)
      return true;
  return false;
}

// key is base or below it; with ancestors, also a key above base.
bool key_matches(const char *key, const char *base, bool ancestors) {
  return at_or_below(key, base) || (ancestors && at_or_below(base, key));
}

bool in_product_keys(const SetupInfo *info, HKEY root, const char *key, bool ancestors) {
  if (root == HKEY_LOCAL_MACHINE) {
    if (key_matches(key, kMakerKey, ancestors)) return true;
    const char *product = info->product_name.c_str();
    String entry = kAddRemoveParent;
    entry.append("\\");
    entry.append(product);
    if (names_one_key(product) && key_matches(key, entry.c_str(), ancestors)) return true;
  }
  if (root != HKEY_CLASSES_ROOT) return false;
  for (const SetupAssociation &item : info->associations) {
    if (!item.ext.length() || strchr(item.ext.c_str(), '\\')) continue;
    String type_key = item.ext;
    type_key.append(".file.type");
    if (ascii_compare_nocase(key, item.ext.c_str()) == 0 || at_or_below(key, type_key.c_str())) return true;
  }
  return false;
}

}  // namespace

bool scope_has_path(const SetupInfo *info, const char *path) {
  if (!is_plain_path(path)) return false;
  return in_folder(path, info->install_dir.c_str()) || in_start_menu(info, path) || in_script_paths(info, path);
}

bool scope_has_key(const SetupInfo *info, HKEY root, const char *key, bool created_level) {
  if (!key_levels_are_named(key)) return false;
  if (in_product_keys(info, root, key, created_level)) return true;
  for (const SetupRegEntry &entry : info->reg_entries)
    if (hkey_from_root(entry.root) == root && (created_level ? at_or_below(entry.key.c_str(), key)
                                                             : ascii_compare_nocase(entry.key.c_str(), key) == 0))
      return true;
  return false;
}

bool scope_has_value(const SetupInfo *info, HKEY root, const char *key, const char *name) {
  if (!key_levels_are_named(key)) return false;
  if (in_product_keys(info, root, key, false)) return true;
  for (const SetupRegEntry &entry : info->reg_entries)
    if (hkey_from_root(entry.root) == root && ascii_compare_nocase(entry.key.c_str(), key) == 0 &&
        ascii_compare_nocase(entry.name.c_str(), name) == 0)
      return true;
  return false;
}

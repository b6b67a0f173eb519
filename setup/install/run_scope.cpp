// The scope of a run, as data for the journal: every path and key the steps could have made.
#include "install/run_scope.h"

#include <cstring>

#include "install/file_copy.h"
#include "install/start_menu.h"
#include "util/product_keys.h"
#include "util/root_keys.h"

namespace {

bool add_key(ItemList<ScopeKey> *list, HKEY root, const char *key, const char *name = "") {
  ScopeKey item;
  item.root = root;
  item.key = key;
  item.name = name;
  return list->append(item) != 0;
}

// The folder of each item that has one, and each shortcut; nothing when the Programs folder
// cannot be read, as the Start-menu step then makes nothing.
bool list_start_menu(const SetupInfo *info, JournalScope *scope) {
  char programs[MAX_PATH];
  if (!read_programs_folder(programs)) return true;
  bool complete = true;
  for (const SetupStartMenu &item : info->start_menu_items) {
    String folder = programs;
    if (item.path.length()) {
      folder.append("\\");
      folder.append(item.path);
      complete &= scope->folders.append(folder) != 0;
    }
    String shortcut = folder;
    shortcut.append("\\");
    shortcut.append(item.name);
    shortcut.append(".lnk");
    complete &= scope->files.append(shortcut) != 0;
  }
  return complete;
}

bool list_script_paths(SetupInfo *info, JournalScope *scope) {
  bool complete = true;
  String resolved;
  for (const SetupDir &dir : info->dirs)
    if (resolve_destination(info, dir.path.c_str(), &resolved)) complete &= scope->folders.append(resolved) != 0;
  for (const SetupFile &file : info->files)
    if (resolve_destination(info, file.dest.c_str(), &resolved)) complete &= scope->files.append(resolved) != 0;
  return complete;
}

// The product's own keys. An association's type key ("<ext>.file.type") is one level, so the levels
// above it that a key tree also admits are none.
bool list_product_keys(const SetupInfo *info, JournalScope *scope) {
  bool complete = add_key(&scope->key_trees, HKEY_LOCAL_MACHINE, kMakerKey);
  const char *product = info->product_name.c_str();
  if (names_one_key(product)) {
    String entry = kAddRemoveParent;
    entry.append("\\");
    entry.append(product);
    complete &= add_key(&scope->key_trees, HKEY_LOCAL_MACHINE, entry.c_str());
  }
  for (const SetupAssociation &item : info->associations) {
    if (!item.ext.length() || strchr(item.ext.c_str(), '\\')) continue;
    String type_key = item.ext;
    type_key.append(".file.type");
    complete &= add_key(&scope->keys, HKEY_CLASSES_ROOT, item.ext.c_str());
    complete &= add_key(&scope->key_trees, HKEY_CLASSES_ROOT, type_key.c_str());
  }
  for (const SetupRegEntry &entry : info->reg_entries)
    complete &= add_key(&scope->values, hkey_from_root(entry.root), entry.key.c_str(), entry.name.c_str());
  return complete;
}

}  // namespace

int list_run_scope(SetupInfo *info, JournalScope *scope) {
  scope->product = info->product_name;
  bool complete = scope->folders.append(info->install_dir) != 0;
  complete &= list_start_menu(info, scope);
  complete &= list_script_paths(info, scope);
  complete &= list_product_keys(info, scope);
  return complete ? 1 : 0;
}

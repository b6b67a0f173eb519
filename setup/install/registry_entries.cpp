// The registry step: writes and records the script's registry values and the Add/Remove entry.
#include "install/registry_entries.h"

#include <cstring>

#include "install/created_keys.h"
#include "install/journaled_registry.h"
#include "install/rollback_journal.h"
#include "res/resource.h"
#include "sdk/reg_key.h"
#include "util/bounded_text.h"
#include "util/product_keys.h"
#include "util/root_keys.h"
#include "util/step_failure.h"

namespace {

void write_value(kRegKey *key, SetupInfo *info, HKEY root, const SetupRegEntry &entry) {
  const char *path = entry.key.c_str();
  if (entry.type == REG_ENTRY_STRING) {
    const String &text = entry.string_value.equals("%1") ? info->install_dir : entry.string_value;
    journaled_set_string(key, root, path, entry.name.c_str(), text.c_str());
  } else if (entry.type == REG_ENTRY_DWORD) {
    journaled_set_dword(key, root, path, entry.name.c_str(), entry.dword_value);
  }
}

// Notes the key that could not be had, with the root's abbreviation when it has one.
int key_failure(const char *abbreviation, const SetupRegEntry &entry, DWORD error) {
  String subject = abbreviation ? abbreviation : "";
  if (abbreviation) subject.append("\\");
  subject.append(entry.key);
  return note_step_failure(IDS_KEY_NOT_OPENED, subject.c_str(), error);
}

int apply_entry(SetupInfo *info, const SetupRegEntry &entry) {
  if (info->replacing_previous == 1 && is_kept_user_key(entry.key.c_str())) return 0;
  HKEY root = hkey_from_root(entry.root);
  const char *abbreviation = root_abbreviation(root);
  if (!abbreviation) return key_failure(nullptr, entry, ERROR_BADKEY);
  // The record keeps "ROOT\key,name" in at most 259 characters: a longer one could never be
  // read back, and its value would outlive the product.
  if (strlen(abbreviation) + entry.key.length() + entry.name.length() + 2 >= MAX_PATH)
    return key_failure(abbreviation, entry, ERROR_FILENAME_EXCED_RANGE);
  int existing = existing_key_levels(root, entry.key.c_str());
  kRegKey key;
  if (!key.Create(root, entry.key.c_str()) && !key.Open(root, entry.key.c_str()))
    return key_failure(abbreviation, entry, GetLastError());
  record_created_levels(info, root, entry.key.c_str(), existing);
  journal_key_created(root, entry.key.c_str(), existing);
  write_value(&key, info, root, entry);
  record_written_value(info, root, entry.key.c_str(), entry.name.c_str());
  key.Close();
  return 0;
}

}  // namespace

int is_kept_user_key(const char *key) {
  const char *last = key ? strrchr(key, '\\') : nullptr;
  return last && ascii_compare_nocase(last + 1, "user") == 0;
}

// 0 when the entry is written (or the product has a name that cannot have one); otherwise the
// step fails, since without its entry the product could not be removed from Add/Remove Programs.
int write_add_remove_entry(SetupInfo *info) {
  // Without a name the key would be the shared Uninstall key itself, and a name with a backslash
  // would address another key (and no uninstall record could be written for it).
  if (!names_one_key(info->product_name.c_str())) return 0;
  String key_name = kAddRemoveParent;
  key_name.append("\\");
  key_name.append(info->product_name);
  String command = info->install_dir;
  command.append("\\setup.exe -u1 \"");
  command.append(info->product_name);
  command.append("\" 0");
  int existing = existing_key_levels(HKEY_LOCAL_MACHINE, kAddRemoveParent);
  kRegKey key;
  if (!journaled_create_key(&key, HKEY_LOCAL_MACHINE, key_name.c_str()))
    return note_step_failure(IDS_KEY_NOT_OPENED, key_name.c_str(), GetLastError());
  // The entry's own key goes with the uninstaller's first stage; keys above it that this
  // installation made go once they are empty.
  record_created_levels(info, HKEY_LOCAL_MACHINE, kAddRemoveParent, existing);
  if (!journaled_set_string(&key, HKEY_LOCAL_MACHINE, key_name.c_str(), "DisplayName", info->product_name.c_str()) ||
      !journaled_set_string(&key, HKEY_LOCAL_MACHINE, key_name.c_str(), "UninstallString", command.c_str()))
    return note_step_failure(IDS_KEY_NOT_OPENED, key_name.c_str(), GetLastError());
  return 0;
}

int apply_registry_entries(SetupInfo *info) {
  for (uint32_t i = 0; i < info->reg_entries.size(); ++i) {
    info->reg_entries_cursor = &info->reg_entries[i];
    SetupRegEntry entry = info->reg_entries[i];
    if (apply_entry(info, entry) != 0) return -1;
  }
  info->reg_entries_cursor = info->reg_entries.end();
  return write_add_remove_entry(info);
}

// The registry step: writes and records the script's registry values and the Add/Remove entry.
#include "install/registry_entries.h"

#include <cstring>

#include "res/resource.h"
#include "sdk/reg_key.h"
#include "util/bounded_text.h"
#include "util/product_keys.h"
#include "util/root_keys.h"
#include "util/step_failure.h"

namespace {

// The value is recorded even when it could not be written, or is of no type setup writes:
// removing a value that is not there costs nothing.
void write_value(ChangeWriter *writer, kRegKey *key, HKEY root, const SetupRegEntry &entry) {
  const char *path = entry.key.c_str();
  const char *name = entry.name.c_str();
  if (entry.type == REG_ENTRY_STRING) {
    const String &text = entry.string_value.equals("%1") ? writer->info()->install_dir : entry.string_value;
    writer->set_string(key, root, path, name, text.c_str(), true);
  } else if (entry.type == REG_ENTRY_DWORD) {
    writer->set_dword(key, root, path, name, entry.dword_value, true);
  } else {
    writer->record_value(root, path, name);
  }
}

// Notes the key that could not be had, with the root's abbreviation when it has one.
int key_failure(const char *abbreviation, const SetupRegEntry &entry, DWORD error) {
  String subject = abbreviation ? abbreviation : "";
  if (abbreviation) subject.append("\\");
  subject.append(entry.key);
  return note_step_failure(IDS_KEY_NOT_OPENED, subject.c_str(), error);
}

int apply_entry(ChangeWriter *writer, const SetupRegEntry &entry) {
  if (writer->info()->replacing_previous == 1 && is_kept_user_key(entry.key.c_str())) return 0;
  HKEY root = hkey_from_root(entry.root);
  const char *abbreviation = root_abbreviation(root);
  if (!abbreviation) return key_failure(nullptr, entry, ERROR_BADKEY);
  // The record keeps "ROOT\key,name" in at most 259 characters: a longer one could never be
  // read back, and its value would outlive the product.
  if (strlen(abbreviation) + entry.key.length() + entry.name.length() + 2 >= MAX_PATH)
    return key_failure(abbreviation, entry, ERROR_FILENAME_EXCED_RANGE);
  kRegKey key;
  if (!writer->create_key(&key, root, entry.key.c_str(), KEY_RECORDED)) return key_failure(abbreviation, entry, GetLastError());
  write_value(writer, &key, root, entry);
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
int write_add_remove_entry(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
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
  // The entry's own key goes with the uninstaller's first stage; keys above it that this
  // installation made go once they are empty.
  kRegKey key;
  if (!writer->create_key(&key, HKEY_LOCAL_MACHINE, key_name.c_str(), KEY_PARENTS_RECORDED))
    return note_step_failure(IDS_KEY_NOT_OPENED, key_name.c_str(), GetLastError());
  const char *name = key_name.c_str();
  if (!writer->set_string(&key, HKEY_LOCAL_MACHINE, name, "DisplayName", info->product_name.c_str(), false) ||
      !writer->set_string(&key, HKEY_LOCAL_MACHINE, name, "UninstallString", command.c_str(), false))
    return note_step_failure(IDS_KEY_NOT_OPENED, key_name.c_str(), GetLastError());
  return 0;
}

int apply_registry_entries(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
  for (uint32_t i = 0; i < info->reg_entries.size(); ++i) {
    info->reg_entries_cursor = &info->reg_entries[i];
    SetupRegEntry entry = info->reg_entries[i];
    if (apply_entry(writer, entry) != 0) return -1;
  }
  info->reg_entries_cursor = info->reg_entries.end();
  return write_add_remove_entry(writer);
}

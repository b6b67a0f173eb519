// Removal of the items of the uninstall record: files, associations, directories, registry keys.
#include "uninstall/remove_items.h"

#include <cstring>

#include "install/record_items.h"
#include "install/uninstall_record.h"
#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/product_keys.h"
#include "util/root_keys.h"

namespace {

void add_failure(SetupInfo *info, int32_t kind, const char *text) {
  UninstallFailed failed;
  failed.kind = kind;
  if (kind == FAILED_FILE) failed.file = text;
  if (kind == FAILED_DIR) failed.dir = text;
  if (kind == FAILED_KEY) failed.reg_key = text;
  info->uninstall_failures.append(failed);
  info->removal_incomplete = 1;
}

void add_key_failure(SetupInfo *info, const char *parent, const char *subkey) {
  String text(parent);
  text.append(" : ");
  text.append(subkey);
  add_failure(info, FAILED_KEY, text.c_str());
}

bool path_exists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// The root named by the first length characters of text (ASCII case ignored); null for any other.
HKEY root_from_text(const char *text, size_t length) {
  char name[8];
  if (length >= sizeof name) return nullptr;
  memcpy(name, text, length);
  name[length] = 0;
  return root_from_abbreviation(name);
}

// A recorded registry item taken apart: "ROOT\key\path", followed for a value by ",value name".
// Anything that does not have this shape (no backslash after a known root, no comma for a value,
// an empty key path or an empty level in it) is not removed.
struct RecordedKey {
  HKEY root;
  char key_path[MAX_PATH];
  char value_name[MAX_PATH];
};

bool parse_recorded_key(const char *text, bool with_value, RecordedKey *out) {
  const char *slash = strchr(text, '\\');
  if (!slash) return false;
  out->root = root_from_text(text, static_cast<size_t>(slash - text));
  if (!out->root) return false;
  const char *rest = slash + 1;
  const char *end = with_value ? strrchr(rest, ',') : rest + strlen(rest);
  if (!end) return false;
  size_t length = static_cast<size_t>(end - rest);
  if (length >= sizeof out->key_path) return false;
  memcpy(out->key_path, rest, length);
  out->key_path[length] = 0;
  if (!key_levels_are_named(out->key_path)) return false;
  out->value_name[0] = 0;
  return !with_value || copy_text(out->value_name, sizeof out->value_name, end + 1) != 0;
}

// While a newer version replaces this one, keys below the maker's own key are kept for it: those
// whose parent path (for a key directly below a root, the key itself) names the maker.
bool keep_for_newer_version(const SetupInfo *info, const char *key_path) {
  if (info->replacing_previous != 1) return false;
  char lower[MAX_PATH];
  if (!copy_text(lower, sizeof lower, key_path)) return false;
  char *last = strrchr(lower, '\\');
  if (last) *last = 0;
  for (char *c = lower; *c; ++c)
    if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
  return strstr(lower, kMakerNameLower) != nullptr;
}

void add_recorded_key_failure(SetupInfo *info, const RecordedKey &item) {
  char parent[MAX_PATH], subkey[MAX_PATH];
  if (split_key_path(item.key_path, parent, sizeof parent, subkey, sizeof subkey)) {
    add_key_failure(info, parent, subkey);
  } else {
    add_key_failure(info, root_abbreviation(item.root), item.key_path);
  }
}

// What is left in a recorded key. A key whose contents cannot be counted counts as holding values.
enum KeyContents { KEY_GONE, KEY_EMPTY, KEY_HOLDS_VALUES, KEY_HOLDS_SUBKEYS };

KeyContents contents_of(const RecordedKey &item) {
  kRegKey key;
  if (!key.Open(item.root, item.key_path)) return KEY_GONE;
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyA(key.getkey(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return KEY_HOLDS_VALUES;
  if (subkeys > 0) return KEY_HOLDS_SUBKEYS;
  return values > 0 ? KEY_HOLDS_VALUES : KEY_EMPTY;
}

void remove_recorded_value(SetupInfo *info, const RecordedKey &item) {
  if (keep_for_newer_version(info, item.key_path)) return;
  kRegKey key;
  if (key.Open(item.root, item.key_path) && key.Delete(item.value_name))
    log_line("uninstall: value removed: %s\\%s, \"%s\"", root_abbreviation(item.root), item.key_path, item.value_name);
}

// A key goes only once nothing is left in it, so nothing the record does not list is lost. What
// keeps it is listed only when a registry-value item named it and subkeys are left: part of a tree
// the record named stays. Values alone are another program's, and so is whatever is left in a key
// the installation created on the way to its own (Software\<maker> is shared by the maker's
// products); a key directly below a root is shared by nature.
void remove_key_once_empty(SetupInfo *info, const RecordedKey &item, bool list_left_subkeys) {
  if (keep_for_newer_version(info, item.key_path)) return;
  KeyContents contents = contents_of(item);
  if (contents == KEY_EMPTY) {
    LONG status = RegDeleteKeyA(item.root, item.key_path);
    if (status != ERROR_SUCCESS) {
      log_failure(static_cast<DWORD>(status), "uninstall: key not removed: %s\\%s", root_abbreviation(item.root),
                  item.key_path);
      add_recorded_key_failure(info, item);
    } else {
      log_line("uninstall: key removed: %s\\%s", root_abbreviation(item.root), item.key_path);
    }
  } else if (contents == KEY_HOLDS_SUBKEYS && list_left_subkeys && strchr(item.key_path, '\\')) {
    add_recorded_key_failure(info, item);
  }
}

// Calls visit(item, kind) for each registry item of the record that can be taken apart: the
// registry-value items by number, the last first; then the values in keys that were there and the
// keys the installation created, the last recorded first.
template <class Visit>
void for_each_registry_item(SetupInfo *info, Visit visit) {
  for (uint32_t i = info->uninstall_key_total; i > 0; --i) {
    char text[MAX_PATH];
    RecordedKey item;
    if (find_uninstall_item(info, RECORD_KEY, static_cast<int>(i - 1), text, sizeof text) == 0 &&
        parse_recorded_key(text, true, &item))
      visit(item, RECORD_KEY);
  }
  for (uint32_t i = info->uninstall_items.size(); i > 0; --i) {
    const UninstallInfo &entry = info->uninstall_items[i - 1];
    if (entry.kind != RECORD_VALUE && entry.kind != RECORD_CREATED_KEY) continue;
    RecordedKey item;
    if (parse_recorded_key(entry.value.c_str(), entry.kind == RECORD_VALUE, &item)) visit(item, entry.kind);
  }
}

void remove_association(const char *text) {
  const char *comma = strchr(text, ',');
  if (!comma || comma == text) return;
  char extension[MAX_PATH];
  size_t length = static_cast<size_t>(comma - text);
  memcpy(extension, text, length);
  extension[length] = 0;
  // An extension with a backslash would address a key deeper in HKEY_CLASSES_ROOT.
  if (strchr(extension, '\\')) return;
  char type_key[MAX_PATH];
  if (!format_text(type_key, sizeof type_key, "%s.file.type", extension)) return;
  {
    kRegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, extension)) RegDeleteKeyA(HKEY_CLASSES_ROOT, extension);
  }
  {
    kRegKey key;
    if (key.Open(HKEY_CLASSES_ROOT, type_key)) {
      static const char *const kSubkeys[] = {"Shell\\Open\\Command", "Shell\\Open", "Shell", "DefaultIcon"};
      for (const char *subkey : kSubkeys) RegDeleteKeyA(key.getkey(), subkey);
    }
  }
  kRegKey classes;
  if (classes.Open(HKEY_CLASSES_ROOT, "")) RegDeleteKeyA(classes.getkey(), type_key);
  log_line("uninstall: association removed: %s", text);
}

// The record stays below the product's key until the last removal is done, so that an uninstall
// stopped part-way leaves it for the next run; the keys on its path (record: "" when the product
// has none) go after it.
bool holds_record(const char *record, const RecordedKey &item) {
  size_t length = strlen(item.key_path);
  return item.root == HKEY_LOCAL_MACHINE && ascii_equals_nocase(record, length, item.key_path) &&
         record[length] == '\\';
}

// The keys of the registry-value items and those the installation created, deepest first: either
// those that hold the record or all others. The keys of values written into keys already there stay.
void remove_keys(SetupInfo *info, bool record_holders) {
  char record[MAX_PATH + 32];
  if (!uninstall_record_path(info, record, sizeof record)) record[0] = 0;
  int deepest = 0;
  auto chosen = [&](const RecordedKey &item, int32_t kind) {
    return kind != RECORD_VALUE && holds_record(record, item) == record_holders;
  };
  for_each_registry_item(info, [&](const RecordedKey &item, int32_t kind) {
    if (chosen(item, kind) && key_level_count(item.key_path) > deepest) deepest = key_level_count(item.key_path);
  });
  for (int depth = deepest; depth > 0; --depth) {
    for_each_registry_item(info, [&](const RecordedKey &item, int32_t kind) {
      if (chosen(item, kind) && key_level_count(item.key_path) == depth) remove_key_once_empty(info, item, kind == RECORD_KEY);
    });
  }
}

}  // namespace

int split_key_path(const char *key_path, char *parent, unsigned long parent_size, char *subkey,
                   unsigned long subkey_size) {
  const char *slash = strrchr(key_path, '\\');
  if (!slash) return 0;
  size_t parent_length = static_cast<size_t>(slash - key_path);
  if (parent_length >= parent_size || strlen(slash + 1) >= subkey_size) return 0;
  copy_text(subkey, subkey_size, slash + 1);
  memcpy(parent, key_path, parent_length);
  parent[parent_length] = 0;
  return 1;
}

int remove_files(SetupInfo *info) {
  char package[MAX_PATH];
  if (info->install_dir.length() > 0 &&
      format_text(package, sizeof package, "%s\\package.dat", info->install_dir.c_str()))
    if (DeleteFileA(package)) log_line("uninstall: file removed: %s", package);
  for (uint32_t i = 0; i < info->uninstall_file_total; ++i) {
    char path[MAX_PATH];
    SetupFile file;
    if (find_uninstall_item(info, RECORD_FILE, static_cast<int>(i), path, sizeof path) == 0) file.source = path;
    info->files.append(file);
  }
  for (info->files_cursor = info->files.begin(); info->files_cursor != info->files.end(); ++info->files_cursor) {
    const char *path = info->files_cursor->source.c_str();
    if (!path_exists(path)) continue;
    // A file another program holds open is listed and goes at the next restart.
    if (DeleteFileA(path)) {
      log_line("uninstall: file removed: %s", path);
      continue;
    }
    log_failure(GetLastError(), "uninstall: file not removed, it goes at the next restart: %s", path);
    add_failure(info, FAILED_FILE, path);
    mark_file_for_deletion(path);
  }
  return 0;
}

int remove_associations(SetupInfo *info) {
  for (uint32_t i = 0; i < info->uninstall_assoc_total; ++i) {
    char text[MAX_PATH];
    if (find_uninstall_item(info, RECORD_ASSOC, static_cast<int>(i), text, sizeof text) == 0)
      remove_association(text);
  }
  return 0;
}

int remove_directories(SetupInfo *info) {
  // Outer directories were recorded before inner ones, so going backwards empties inner ones first.
  for (uint32_t i = info->uninstall_dir_total; i > 0; --i) {
    char path[MAX_PATH];
    if (find_uninstall_item(info, RECORD_DIR, static_cast<int>(i - 1), path, sizeof path) != 0) continue;
    if (!path_exists(path)) continue;
    if (RemoveDirectoryA(path)) {
      log_line("uninstall: directory removed: %s", path);
    } else {
      log_failure(GetLastError(), "uninstall: directory not removed: %s", path);
      add_failure(info, FAILED_DIR, path);
    }
  }
  return 0;
}

int remove_registry_keys(SetupInfo *info) {
  // Every recorded value first, so that a key holds only what the record does not list by the time
  // its own turn comes.
  for_each_registry_item(info, [&](const RecordedKey &item, int32_t kind) {
    if (kind != RECORD_CREATED_KEY) remove_recorded_value(info, item);
  });
  remove_keys(info, false);
  return 0;
}

int remove_keys_holding_record(SetupInfo *info) {
  remove_keys(info, true);
  return 0;
}

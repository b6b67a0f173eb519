// Removal of the items of the uninstall record: files, associations, directories, registry keys.
#include "uninstall/remove_items.h"

#include <cstring>

#include "install/uninstall_record.h"
#include "sdk/reg_key.h"
#include "util/bounded_text.h"

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

struct RootName {
  const char *abbreviation;
  HKEY key;
};

const RootName kRoots[] = {
    {"HKCR", HKEY_CLASSES_ROOT},
    {"HKCU", HKEY_CURRENT_USER},
    {"HKLM", HKEY_LOCAL_MACHINE},
    {"HKUS", HKEY_USERS},
};

// The root named by the first length characters of text (ASCII case ignored); null for any other.
HKEY root_from_text(const char *text, size_t length) {
  char name[8];
  if (length >= sizeof name) return nullptr;
  memcpy(name, text, length);
  name[length] = 0;
  for (const RootName &root : kRoots)
    if (ascii_compare_nocase(name, root.abbreviation) == 0) return root.key;
  return nullptr;
}

const char *abbreviation_of(HKEY key) {
  for (const RootName &root : kRoots)
    if (root.key == key) return root.abbreviation;
  return "";
}

// A recorded registry item, "ROOT\key\path,value name", taken apart. Anything that does not have
// this shape (no backslash after a known root, no comma, an empty key path or one starting with a
// backslash) is not removed.
struct RecordedKey {
  HKEY root;
  char key_path[MAX_PATH];
  char value_name[MAX_PATH];
};

bool parse_recorded_key(const char *text, RecordedKey *out) {
  const char *slash = strchr(text, '\\');
  if (!slash) return false;
  out->root = root_from_text(text, static_cast<size_t>(slash - text));
  if (!out->root) return false;
  const char *rest = slash + 1;
  if (rest[0] == '\\') return false;
  const char *comma = strrchr(rest, ',');
  if (!comma || comma == rest) return false;
  size_t length = static_cast<size_t>(comma - rest);
  memcpy(out->key_path, rest, length);  // shorter than the 260-byte text it comes from
  out->key_path[length] = 0;
  return copy_text(out->value_name, sizeof out->value_name, comma + 1) != 0;
}

// While a newer version replaces this one, keys below the maker's own key are kept for it.
bool keep_for_newer_version(const SetupInfo *info, const char *path) {
  if (info->replacing_previous != 1) return false;
  char lower[MAX_PATH];
  if (!copy_text(lower, sizeof lower, path)) return false;
  for (char *c = lower; *c; ++c)
    if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
  return strstr(lower, "quorvane") != nullptr;
}

// True only when the key is known to hold neither values nor subkeys.
bool key_is_empty(HKEY key) {
  DWORD subkeys = 0, values = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

// A key directly below a root is shared by many programs (Software, Environment, a file type), so
// it is never removed with what lies beneath it: only the recorded value goes, and the key itself
// only once nothing at all is left in it.
void remove_top_level_value(SetupInfo *info, const RecordedKey &item) {
  if (keep_for_newer_version(info, item.key_path)) return;
  kRegKey key;
  if (!key.Open(item.root, item.key_path)) return;
  key.Delete(item.value_name);
  bool empty = key_is_empty(key.getkey());
  key.Close();
  if (empty && RegDeleteKeyA(item.root, item.key_path) != ERROR_SUCCESS)
    add_key_failure(info, abbreviation_of(item.root), item.key_path);
}

void remove_recorded_key(SetupInfo *info, const RecordedKey &item) {
  char parent[MAX_PATH], subkey[MAX_PATH];
  if (!split_key_path(item.key_path, parent, sizeof parent, subkey, sizeof subkey)) {
    remove_top_level_value(info, item);
    return;
  }
  // "\name" or "path\" would address the root or the parent itself.
  if (parent[0] == 0 || subkey[0] == 0) return;
  if (keep_for_newer_version(info, parent)) return;
  kRegKey parent_key;
  if (!parent_key.Open(item.root, parent)) return;
  {
    // Several values of one key were recorded: the first of them to come here removed the key.
    kRegKey probe;
    if (!probe.Open(item.root, item.key_path)) return;
  }
  if (RegDeleteKeyA(parent_key.getkey(), subkey) != ERROR_SUCCESS) add_key_failure(info, parent, subkey);
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
    DeleteFileA(package);
  for (uint32_t i = 0; i < info->uninstall_file_total; ++i) {
    char path[MAX_PATH];
    SetupFile file;
    if (find_uninstall_item(info, RECORD_FILE, static_cast<int>(i), path, sizeof path) == 0) file.source = path;
    info->files.append(file);
  }
  for (info->files_cursor = info->files.begin(); info->files_cursor != info->files.end(); ++info->files_cursor) {
    const char *path = info->files_cursor->source.c_str();
    if (!path_exists(path)) continue;
    if (!DeleteFileA(path)) add_failure(info, FAILED_FILE, path);
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
    if (!RemoveDirectoryA(path)) add_failure(info, FAILED_DIR, path);
  }
  return 0;
}

int remove_registry_keys(SetupInfo *info) {
  for (uint32_t i = info->uninstall_key_total; i > 0; --i) {
    char text[MAX_PATH];
    RecordedKey item;
    if (find_uninstall_item(info, RECORD_KEY, static_cast<int>(i - 1), text, sizeof text) != 0) continue;
    if (parse_recorded_key(text, &item)) remove_recorded_key(info, item);
  }
  return 0;
}

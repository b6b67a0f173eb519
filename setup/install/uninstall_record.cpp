// The uninstall record: items appended while installing, written to and read back from the registry.
#include "install/uninstall_record.h"

#include <cstring>

#include "install/created_keys.h"
#include "install/journaled_registry.h"
#include "res/resource.h"
#include "sdk/reg_key.h"
#include "util/bounded_text.h"
#include "util/step_failure.h"

namespace {

struct RecordKind {
  int32_t kind;
  const char *total_name;  // "dirtotal" ...
  const char *item_format;  // "dir%d" ...
  uint32_t SetupInfo::*total;  // null for the kinds SetupInfo has no total for
};

// The order in which the reader loads the kinds: directories, files, registry values, associations,
// then the two kinds that uninstallers of earlier versions pass over.
const RecordKind kKinds[] = {
    {RECORD_DIR, "dirtotal", "dir%d", &SetupInfo::uninstall_dir_total},
    {RECORD_FILE, "filetotal", "file%d", &SetupInfo::uninstall_file_total},
    {RECORD_KEY, "keytotal", "key%d", &SetupInfo::uninstall_key_total},
    {RECORD_ASSOC, "assoctotal", "assoc%d", &SetupInfo::uninstall_assoc_total},
    {RECORD_VALUE, "valuetotal", "value%d", nullptr},
    {RECORD_CREATED_KEY, "createdtotal", "created%d", nullptr},
};
const int kKindCount = sizeof kKinds / sizeof kKinds[0];

const RecordKind *kind_entry(int32_t kind) {
  for (const RecordKind &entry : kKinds)
    if (entry.kind == kind) return &entry;
  return nullptr;
}

// The number the next item of a kind takes in info's record: its total, counted up as items are
// added, or for a kind without a total the number of its items already in the list.
int32_t next_index(SetupInfo *info, int32_t kind) {
  const RecordKind *entry = kind_entry(kind);
  if (entry && entry->total) return static_cast<int32_t>((info->*entry->total)++);
  int32_t count = 0;
  for (const UninstallInfo &item : info->uninstall_items)
    if (item.kind == kind) ++count;
  return count;
}

int append_item(SetupInfo *info, int32_t kind, int32_t index, const char *value) {
  UninstallInfo item;
  item.kind = kind;
  item.index = index;
  item.value = value;
  info->uninstall_items.append(item);
  return 0;
}

int append_next(SetupInfo *info, int32_t kind, const char *value) {
  return append_item(info, kind, next_index(info, kind), value);
}

// The product's key below HKLM ("Software\Quorvane\<product>", plus "\uninstall" when asked).
// A product name that is empty or holds a backslash would address another key, so it has none.
int product_key_path(const SetupInfo *info, bool uninstall, char *out, size_t size) {
  const char *product = info->product_name.c_str();
  if (product[0] == 0 || strchr(product, '\\') != nullptr) return 0;
  return format_text(out, size, uninstall ? "Software\\Quorvane\\%s\\uninstall" : "Software\\Quorvane\\%s",
                     product);
}

const size_t kKeyPathSize = MAX_PATH + 32;

// Notes the record's key (as the product name makes it, whatever it holds) for the install
// sequence to show.
int record_failure(const SetupInfo *info, DWORD error) {
  String subject = "HKLM\\Software\\Quorvane\\";
  subject.append(info->product_name);
  subject.append("\\uninstall");
  return note_step_failure(IDS_RECORD_NOT_WRITTEN, subject.c_str(), error);
}

// Reads one kind: its total (missing or unreadable: 0) and each numbered text that can be read.
// A total can never exceed the number of values in the key, so a damaged total cannot make the
// reader (or the removal steps after it) walk billions of numbers.
void read_kind(SetupInfo *info, kRegKey &key, const RecordKind &entry, unsigned long value_count) {
  unsigned long total = 0;
  if (!key.GetDWORD(entry.total_name, &total)) total = 0;
  if (total > value_count) total = value_count;
  if (entry.total) info->*entry.total = static_cast<uint32_t>(total);
  for (unsigned long i = 0; i < total; ++i) {
    char name[32];
    char text[MAX_PATH];
    if (!format_text(name, sizeof name, entry.item_format, static_cast<int>(i))) continue;
    text[0] = 0;
    // A value that is missing, of another type or longer than 259 characters gives no item.
    if (!key.GetString(name, text, sizeof text)) continue;
    append_item(info, entry.kind, static_cast<int32_t>(i), text);
  }
}

}  // namespace

int record_file(SetupInfo *info, const char *path) { return append_next(info, RECORD_FILE, path); }

int record_key(SetupInfo *info, const char *text) { return append_next(info, RECORD_KEY, text); }

int record_dir(SetupInfo *info, const char *path) { return append_next(info, RECORD_DIR, path); }

int record_value(SetupInfo *info, const char *text) { return append_next(info, RECORD_VALUE, text); }

int record_created_key(SetupInfo *info, const char *text) { return append_next(info, RECORD_CREATED_KEY, text); }

int record_assoc(SetupInfo *info, const char *extension, const char *program) {
  String text(extension);
  text.append(",");
  text.append(program);
  return append_next(info, RECORD_ASSOC, text.c_str());
}

int write_uninstall_record(SetupInfo *info) {
  char path[kKeyPathSize];
  if (!product_key_path(info, true, path, sizeof path)) return record_failure(info, ERROR_BADKEY);
  // The product's key and those above it, when the record is the first to need them; the
  // "uninstall" key itself goes when the record is read.
  char product[kKeyPathSize];
  product_key_path(info, false, product, sizeof product);  // fits: it is the shorter of the two
  int existing = existing_key_levels(HKEY_LOCAL_MACHINE, product);
  kRegKey key;
  if (!journaled_create_key(&key, HKEY_LOCAL_MACHINE, path)) return record_failure(info, GetLastError());
  if (info->uninstall_items.size() == 0) return 0;  // an empty record writes no value at all
  record_created_levels(info, HKEY_LOCAL_MACHINE, product, existing);
  uint32_t counts[kKindCount] = {};
  for (info->uninstall_items_cursor = info->uninstall_items.begin();
       info->uninstall_items_cursor != info->uninstall_items.end(); ++info->uninstall_items_cursor) {
    const UninstallInfo &item = *info->uninstall_items_cursor;
    const RecordKind *entry = kind_entry(item.kind);
    if (!entry) continue;
    char name[32];
    if (format_text(name, sizeof name, entry->item_format, static_cast<int>(item.index)))
      journaled_set_string(&key, HKEY_LOCAL_MACHINE, path, name, item.value.c_str());
    ++counts[entry - kKinds];
  }
  // The totals are the same whether written after every item or once here.
  for (int i = 0; i < kKindCount; ++i) journaled_set_dword(&key, HKEY_LOCAL_MACHINE, path, kKinds[i].total_name, counts[i]);
  return 0;
}

int read_uninstall_record(SetupInfo *info) {
  char path[kKeyPathSize];
  if (!product_key_path(info, true, path, sizeof path)) return 0;
  {
    kRegKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, path)) {
      unsigned long value_count = key.values();
      for (const RecordKind &entry : kKinds) read_kind(info, key, entry, value_count);
    }
  }
  // The registry copy goes at once, so an interrupted uninstall cannot be repeated from it.
  if (!product_key_path(info, false, path, sizeof path)) return 0;
  kRegKey product;
  if (product.Open(HKEY_LOCAL_MACHINE, path)) RegDeleteKeyA(product.getkey(), "uninstall");
  return 0;
}

int find_uninstall_item(SetupInfo *info, int kind, int index, char *buffer, unsigned long size) {
  for (const UninstallInfo &item : info->uninstall_items) {
    if (item.kind != kind || item.index != index) continue;
    // A text that does not fit the caller's buffer is not handed out cut short.
    return copy_text(buffer, size, item.value.c_str()) ? 0 : -1;
  }
  return -1;
}

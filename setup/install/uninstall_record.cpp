// The uninstall record: items appended while installing, written to and read back from the registry.
#include "install/uninstall_record.h"

#include <cstring>

#include "install/created_keys.h"
#include "install/earlier_record.h"
#include "install/journaled_registry.h"
#include "res/resource.h"
#include "sdk/reg_key.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/product_keys.h"
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
  // Memory too short for one more item: the record would miss it, so the step is told.
  return info->uninstall_items.append(item) ? 0 : -1;
}

int append_next(SetupInfo *info, int32_t kind, const char *value) {
  return append_item(info, kind, next_index(info, kind), value);
}

// The product's key below HKLM ("Software\Quorvane\<product>", plus "\uninstall" when asked).
// A product name that is empty or holds a backslash would address another key, so it has none.
int product_key_path(const SetupInfo *info, bool uninstall, char *out, size_t size) {
  const char *product = info->product_name.c_str();
  if (!names_one_key(product)) return 0;
  return format_text(out, size, uninstall ? "%s\\%s\\uninstall" : "%s\\%s", kMakerKey, product);
}

const size_t kKeyPathSize = MAX_PATH + 32;

// Notes the record's key (as the product name makes it, whatever it holds) for the install
// sequence to show.
int record_failure(const SetupInfo *info, DWORD error) {
  String subject = "HKLM\\";
  subject.append(kMakerKey);
  subject.append("\\");
  subject.append(info->product_name);
  subject.append("\\uninstall");
  return note_step_failure(IDS_RECORD_NOT_WRITTEN, subject.c_str(), error);
}

// Reads one kind into items and returns its total (missing or unreadable: 0). A total can never
// exceed the number of values in the key, so a damaged total cannot make the reader (or the
// removal steps after it) walk billions of numbers.
uint32_t read_kind(kRegKey &key, const RecordKind &entry, unsigned long value_count, ItemList<UninstallInfo> *items) {
  unsigned long total = 0;
  if (!key.GetDWORD(entry.total_name, &total)) total = 0;
  if (total > value_count) total = value_count;
  for (unsigned long i = 0; i < total; ++i) {
    char name[32];
    char text[MAX_PATH];
    if (!format_text(name, sizeof name, entry.item_format, static_cast<int>(i))) continue;
    text[0] = 0;
    // A value that is missing, of another type or longer than 259 characters gives no item.
    if (!key.GetString(name, text, sizeof text)) continue;
    UninstallInfo item;
    item.kind = entry.kind;
    item.index = static_cast<int32_t>(i);
    item.value = text;
    items->append(item);
  }
  return static_cast<uint32_t>(total);
}

// Reads every kind of the record at path (below HKLM) into items, and each kind's total into
// totals when asked. 0 when there is no record.
int read_record_items(const char *path, ItemList<UninstallInfo> *items, uint32_t *totals) {
  kRegKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, path)) return 0;
  unsigned long value_count = key.values();
  for (int i = 0; i < kKindCount; ++i) {
    uint32_t total = read_kind(key, kKinds[i], value_count, items);
    if (totals) totals[i] = total;
  }
  return 1;
}

// Numbers the items of each kind 0, 1, 2 ... in list order (a damaged record may skip numbers).
void number_in_order(ItemList<UninstallInfo> *items) {
  int32_t next[kKindCount] = {};
  for (UninstallInfo &item : *items)
    if (const RecordKind *entry = kind_entry(item.kind)) item.index = next[entry - kKinds]++;
}

// Writes the items of one list, each under its kind's number plus offsets[kind], and counts them.
// Writes the items; false as soon as one could not be written (the record would miss it).
bool write_items(kRegKey *key, const char *path, const ItemList<UninstallInfo> &items, const uint32_t offsets[kKindCount],
                 uint32_t counts[kKindCount]) {
  for (const UninstallInfo &item : items) {
    const RecordKind *entry = kind_entry(item.kind);
    if (!entry) continue;
    int k = static_cast<int>(entry - kKinds);
    char name[32];
    if (!format_text(name, sizeof name, entry->item_format, static_cast<int>(offsets[k] + static_cast<uint32_t>(item.index))) ||
        !journaled_set_string(key, HKEY_LOCAL_MACHINE, path, name, item.value.c_str()))
      return false;
    ++counts[k];
  }
  return true;
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
  // What an earlier installation recorded goes first: its directories were made before this
  // run's, and the removal goes from the last directory to the first.
  ItemList<UninstallInfo> earlier, carried;
  read_record_items(path, &earlier, nullptr);
  // The product's key and those above it, when the record is the first to need them.
  char product[kKeyPathSize];
  product_key_path(info, false, product, sizeof product);  // fits: it is the shorter of the two
  int existing = existing_key_levels(HKEY_LOCAL_MACHINE, product);
  kRegKey key;
  if (!journaled_create_key(&key, HKEY_LOCAL_MACHINE, path)) return record_failure(info, GetLastError());
  if (info->uninstall_items.size() == 0) return 0;  // an empty record writes no value at all
  record_created_levels(info, HKEY_LOCAL_MACHINE, product, existing);
  carry_over_items(info->uninstall_items, earlier, &carried);
  number_in_order(&carried);
  uint32_t none[kKindCount] = {}, offsets[kKindCount] = {}, counts[kKindCount] = {};
  if (!write_items(&key, path, carried, none, offsets) || !write_items(&key, path, info->uninstall_items, offsets, counts))
    return record_failure(info, GetLastError());
  // The totals are the same whether written after every item or once here.
  for (int i = 0; i < kKindCount; ++i)
    if (!journaled_set_dword(&key, HKEY_LOCAL_MACHINE, path, kKinds[i].total_name, offsets[i] + counts[i]))
      return record_failure(info, GetLastError());
  return 0;
}

int read_uninstall_record(SetupInfo *info) {
  char path[kKeyPathSize];
  uint32_t totals[kKindCount];
  if (!product_key_path(info, true, path, sizeof path) || !read_record_items(path, &info->uninstall_items, totals))
    return 0;
  for (int i = 0; i < kKindCount; ++i)
    if (kKinds[i].total) info->*kKinds[i].total = totals[i];
  return 0;
}

int uninstall_record_path(const SetupInfo *info, char *out, size_t size) { return product_key_path(info, true, out, size); }

void delete_uninstall_record(SetupInfo *info) {
  char path[kKeyPathSize];
  if (!product_key_path(info, false, path, sizeof path)) return;
  kRegKey product;
  if (!product.Open(HKEY_LOCAL_MACHINE, path)) return;
  if (RegDeleteKeyA(product.getkey(), "uninstall") == ERROR_SUCCESS) log_line("uninstall: record removed: HKLM\\%s\\uninstall", path);
  // The record's key leaves the product's key empty unless something else lives there.
  bool empty = product.children() == 0 && product.values() == 0;
  product.Close();
  kRegKey maker;
  if (empty && maker.Open(HKEY_LOCAL_MACHINE, kMakerKey)) RegDeleteKeyA(maker.getkey(), info->product_name.c_str());
}

int find_uninstall_item(SetupInfo *info, int kind, int index, char *buffer, unsigned long size) {
  for (const UninstallInfo &item : info->uninstall_items) {
    if (item.kind != kind || item.index != index) continue;
    // A text that does not fit the caller's buffer is not handed out cut short.
    return copy_text(buffer, size, item.value.c_str()) ? 0 : -1;
  }
  return -1;
}

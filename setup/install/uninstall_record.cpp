// The uninstall record: items appended while installing, written to and read back from the registry.
#include "install/uninstall_record.h"

#include <cstring>

#include "install/earlier_record.h"
#include "install/change_writer.h"
#include "install/record_items.h"
#include "res/resource.h"
#include "sdk/reg_key.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/product_keys.h"
#include "util/step_failure.h"

namespace {

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
  for (int i = 0; i < kRecordKindCount; ++i) {
    uint32_t total = read_kind(key, kRecordKinds[i], value_count, items);
    if (totals) totals[i] = total;
  }
  return 1;
}

// Numbers the items of each kind 0, 1, 2 ... in list order (a damaged record may skip numbers).
void number_in_order(ItemList<UninstallInfo> *items) {
  int32_t next[kRecordKindCount] = {};
  for (UninstallInfo &item : *items)
    if (const RecordKind *entry = record_kind(item.kind)) item.index = next[entry - kRecordKinds]++;
}

// Writes the items of one list, each under its kind's number plus offsets[kind], and counts them.
// Writes the items; false as soon as one could not be written (the record would miss it).
bool write_items(ChangeWriter *writer, kRegKey *key, const char *path, const ItemList<UninstallInfo> &items, const uint32_t offsets[kRecordKindCount],
                 uint32_t counts[kRecordKindCount]) {
  for (const UninstallInfo &item : items) {
    const RecordKind *entry = record_kind(item.kind);
    if (!entry) continue;
    int k = static_cast<int>(entry - kRecordKinds);
    char name[32];
    if (!format_text(name, sizeof name, entry->item_format, static_cast<int>(offsets[k] + static_cast<uint32_t>(item.index))) ||
        !writer->set_string(key, HKEY_LOCAL_MACHINE, path, name, item.value.c_str(), false))
      return false;
    ++counts[k];
  }
  return true;
}

}  // namespace

int write_uninstall_record(ChangeWriter *writer) {
  SetupInfo *info = writer->info();
  char path[kKeyPathSize];
  if (!product_key_path(info, true, path, sizeof path)) return record_failure(info, ERROR_BADKEY);
  // What an earlier installation recorded goes first: its directories were made before this
  // run's, and the removal goes from the last directory to the first.
  ItemList<UninstallInfo> earlier, carried;
  read_record_items(path, &earlier, nullptr);
  // The product's key and those above it are recorded when the record is the first to need them;
  // an empty record writes no value at all.
  bool empty = info->uninstall_items.size() == 0;
  kRegKey key;
  if (!writer->create_key(&key, HKEY_LOCAL_MACHINE, path, empty ? KEY_NOT_RECORDED : KEY_PARENTS_RECORDED))
    return record_failure(info, GetLastError());
  if (empty) return 0;
  carry_over_items(info->uninstall_items, earlier, &carried);
  number_in_order(&carried);
  uint32_t none[kRecordKindCount] = {}, offsets[kRecordKindCount] = {}, counts[kRecordKindCount] = {};
  if (!write_items(writer, &key, path, carried, none, offsets) ||
      !write_items(writer, &key, path, info->uninstall_items, offsets, counts))
    return record_failure(info, GetLastError());
  // The totals are the same whether written after every item or once here.
  for (int i = 0; i < kRecordKindCount; ++i)
    if (!writer->set_dword(&key, HKEY_LOCAL_MACHINE, path, kRecordKinds[i].total_name, offsets[i] + counts[i], false))
      return record_failure(info, GetLastError());
  return 0;
}

int read_uninstall_record(SetupInfo *info) {
  char path[kKeyPathSize];
  uint32_t totals[kRecordKindCount];
  if (!product_key_path(info, true, path, sizeof path) || !read_record_items(path, &info->uninstall_items, totals))
    return 0;
  for (int i = 0; i < kRecordKindCount; ++i)
    if (kRecordKinds[i].total) info->*kRecordKinds[i].total = totals[i];
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

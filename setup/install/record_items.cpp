// The uninstall record's items in memory: appended while installing, looked up by kind and number.
#include "install/record_items.h"

#include "util/bounded_text.h"

const RecordKind kRecordKinds[kRecordKindCount] = {
    {RECORD_DIR, "dirtotal", "dir%d", &SetupInfo::uninstall_dir_total},
    {RECORD_FILE, "filetotal", "file%d", &SetupInfo::uninstall_file_total},
    {RECORD_KEY, "keytotal", "key%d", &SetupInfo::uninstall_key_total},
    {RECORD_ASSOC, "assoctotal", "assoc%d", &SetupInfo::uninstall_assoc_total},
    {RECORD_VALUE, "valuetotal", "value%d", nullptr},
    {RECORD_CREATED_KEY, "createdtotal", "created%d", nullptr},
};

const RecordKind *record_kind(int32_t kind) {
  for (int i = 0; i < kRecordKindCount; ++i)
    if (kRecordKinds[i].kind == kind) return &kRecordKinds[i];
  return nullptr;
}

namespace {

// The number the next item of a kind takes in info's record: its total, counted up as items are
// added, or for a kind without a total the number of its items already in the list.
int32_t next_index(SetupInfo *info, int32_t kind) {
  const RecordKind *entry = record_kind(kind);
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

}  // namespace

int record_file(SetupInfo *info, const char *path) { return append_next(info, RECORD_FILE, path); }

int record_key(SetupInfo *info, const char *text) { return append_next(info, RECORD_KEY, text); }

// A folder that several steps make or use (the Start-menu folder of several shortcuts) is recorded
// once: the record lists what the installation made, each item one time.
int record_dir(SetupInfo *info, const char *path) {
  for (const UninstallInfo &item : info->uninstall_items)
    if (item.kind == RECORD_DIR && mbcs_compare_nocase(item.value.c_str(), path) == 0) return 0;
  return append_next(info, RECORD_DIR, path);
}

int record_value(SetupInfo *info, const char *text) { return append_next(info, RECORD_VALUE, text); }

int record_created_key(SetupInfo *info, const char *text) { return append_next(info, RECORD_CREATED_KEY, text); }

int record_assoc(SetupInfo *info, const char *extension, const char *program) {
  String text(extension);
  text.append(",");
  text.append(program);
  return append_next(info, RECORD_ASSOC, text.c_str());
}

int find_uninstall_item(SetupInfo *info, int kind, int index, char *buffer, unsigned long size) {
  for (const UninstallInfo &item : info->uninstall_items) {
    if (item.kind != kind || item.index != index) continue;
    // A text that does not fit the caller's buffer is not handed out cut short.
    return copy_text(buffer, size, item.value.c_str()) ? 0 : -1;
  }
  return -1;
}

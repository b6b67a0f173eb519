// The rollback journal: a list of the changes made by the install steps, newest first, and their
// undoing. Each entry is one block: the fixed part, then its path, its second text and its data.
#include "install/rollback_journal.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "install/journal_scope.h"
#include "scoped.h"
#include "sdk/reg_key.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/file_kinds.h"
#include "util/path_parts.h"
#include "util/root_keys.h"

enum JournalEntryKind { FILE_CREATED, FILE_REPLACED, DIR_CREATED, KEY_CREATED, VALUE_WRITTEN };

struct JournalEntry {
  JournalEntry *next;
  JournalEntry *older_key;  // for a created key: the one created before it
  int kind;
  HKEY root;       // keys and values
  char *path;      // the file, directory or key
  char *extra;     // the kept copy of a replaced file, or the value's name
  bool existed;    // a value that was there before
  bool foreign;    // read from disk, but not a change a run of this product could have made
  DWORD type;      // its type and data
  DWORD size;
  unsigned char *data;
};

namespace {

bool exists(const char *path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Deletes a file whatever its attributes; true when no file is there any more (a directory in its
// place was never the run's).
bool delete_file(const char *path) {
  if (!is_regular_file(path)) return true;
  SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
  return DeleteFileA(path) || !is_regular_file(path);
}

// The kept copy goes back to path, over whatever lies there now. Without a kept copy (it was never
// made, or is gone) the file at path stays.
bool put_back(const JournalEntry *entry) {
  if (!is_regular_file(entry->extra)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return false;
  }
  return delete_file(entry->path) && MoveFileA(entry->extra, entry->path);
}

// The journal on disk: each entry is also written, once complete, to a file named after the
// product in the Windows folder (which, on Windows NT, only administrators may write), so that a
// run killed part-way is undone by the next installation of the same product before that changes
// anything. The file starts with a header record naming the product; a record is a fixed header of
// 32-bit little-endian fields, then the path, the second text and the data.
struct DiskRecord {
  uint32_t magic, kind, existed, type, path_size, extra_size, data_size;
  char root[8];
};
const uint32_t kDiskMagic = 0x324E4A5A;  // "ZJN2"
const uint32_t kHeaderKind = 0x48;       // the first record: its path is the product's name
const DWORD kDiskLimit = 64u * 1024 * 1024;

bool disk_path(const char *product, char *out) {
  char windows[MAX_PATH];
  UINT n = GetWindowsDirectoryA(windows, sizeof windows);
  return product && product[0] && n > 0 && n < sizeof windows &&
         format_text(out, MAX_PATH, "%s\\zindle-%08lx.jnl", windows,
                     static_cast<unsigned long>(mbcs_hash_nocase(product)));
}

bool all_zero(const unsigned char *bytes, DWORD size) {
  for (DWORD i = 0; i < size; ++i)
    if (bytes[i]) return false;
  return true;
}

// A kept copy lies beside its file under a name the run created ("zbk....tmp").
bool kept_beside(const char *path, const char *kept) {
  const char *slash = strrchr(path, '\\'), *kept_slash = strrchr(kept, '\\');
  if (!slash || !kept_slash || slash - path != kept_slash - kept) return false;
  const char *name = kept_slash + 1;
  return strncmp(path, kept, static_cast<size_t>(slash - path)) == 0 && strlen(name) > 3 &&
         ascii_equals_nocase(name, 3, "zbk");
}

// Whether a run of the product could have made the change; what it could not have made is
// foreign to the product, and the undo passes it over.
bool made_by_product(const JournalScope *scope, const JournalEntry *entry) {
  switch (entry->kind) {
    case FILE_CREATED:
    case DIR_CREATED:
      return scope_has_path(scope, entry->path);
    case FILE_REPLACED:
      return scope_has_path(scope, entry->path) && kept_beside(entry->path, entry->extra);
    case KEY_CREATED:
      return scope_has_key(scope, entry->root, entry->path, true);
    default:
      return scope_has_value(scope, entry->root, entry->path, entry->extra);
  }
}

// Undoing one entry: 0 when done (or nothing was left to undo), else the system's error.
DWORD undo_key(const JournalEntry *entry) {
  kRegKey key;
  if (!key.Open(entry->root, entry->path)) return 0;  // gone already
  if (key.children() || key.values()) return ERROR_DIR_NOT_EMPTY;
  key.Close();
  LONG error = RegDeleteKeyA(entry->root, entry->path);
  return error == ERROR_FILE_NOT_FOUND ? 0 : static_cast<DWORD>(error);
}

DWORD undo_value(const JournalEntry *entry) {
  kRegKey key;
  if (!key.Open(entry->root, entry->path)) return entry->existed ? GetLastError() : 0;
  LONG error = entry->existed ? RegSetValueExA(key.getkey(), entry->extra, 0, entry->type, entry->data, entry->size)
                              : RegDeleteValueA(key.getkey(), entry->extra);
  return error == ERROR_FILE_NOT_FOUND && !entry->existed ? 0 : static_cast<DWORD>(error);
}

DWORD undo_entry(const JournalEntry *entry) {
  switch (entry->kind) {
    case FILE_CREATED:
      return delete_file(entry->path) ? 0 : GetLastError();
    case FILE_REPLACED:
      return put_back(entry) ? 0 : GetLastError();
    case DIR_CREATED:
      return RemoveDirectoryA(entry->path) || !exists(entry->path) ? 0 : GetLastError();
    case KEY_CREATED:
      return undo_key(entry);
    default:
      return undo_value(entry);
  }
}

const char *const kKindNames[] = {"file", "file", "directory", "registry key", "registry value"};

// "file C:\x", "registry key HKLM\Software\X", "registry value HKLM\Software\X, Name".
void describe(const JournalEntry *entry, String *out) {
  *out = kKindNames[entry->kind];
  out->append(" ");
  if (entry->kind >= KEY_CREATED) {
    out->append(root_text(entry->root));
    out->append("\\");
  }
  out->append(entry->path);
  if (entry->kind == VALUE_WRITTEN) {
    out->append(", ");
    out->append(entry->extra);
  }
}

void note_failure(const JournalEntry *entry, DWORD error, UndoReport *report) {
  String item;
  describe(entry, &item);
  if (entry->kind == FILE_REPLACED) {
    log_failure(error, "undo: %s not put back; its earlier content is kept in %s", item.c_str(), entry->extra);
  } else {
    log_failure(error, "undo: %s not undone", item.c_str());
  }
  if (report->failed++ >= kUndoListed) return;
  if (report->listed.length()) report->listed.append("\n");
  report->listed.append(item);
}

}  // namespace

JournalEntry *RollbackJournal::push(int kind, const char *path, const char *extra, DWORD data_size) {
  size_t path_size = strlen(path) + 1, extra_size = strlen(extra) + 1;
  JournalEntry *entry = static_cast<JournalEntry *>(calloc(1, sizeof(JournalEntry) + path_size + extra_size + data_size));
  if (!entry) return nullptr;
  entry->kind = kind;
  entry->path = reinterpret_cast<char *>(entry + 1);
  memcpy(entry->path, path, path_size);
  entry->extra = entry->path + path_size;
  memcpy(entry->extra, extra, extra_size);
  entry->data = reinterpret_cast<unsigned char *>(entry->extra + extra_size);
  entry->size = data_size;
  entry->next = newest_;
  newest_ = entry;
  if (kind == KEY_CREATED) {
    entry->older_key = newest_key_;
    newest_key_ = entry;
  }
  return entry;
}

void RollbackJournal::drop_newest() {
  JournalEntry *entry = newest_;
  newest_ = entry->next;
  if (entry == newest_key_) newest_key_ = entry->older_key;
  free(entry);
}

// Writes one record in one piece. A write that fails ends the file's growth (what it holds so far
// stays true); the journal in memory goes on.
void RollbackJournal::write_record(uint32_t kind, const JournalEntry *entry, const char *path, const char *extra) {
  if (!disk_.valid()) return;
  DiskRecord record = {kDiskMagic, kind, 0, 0, static_cast<uint32_t>(strlen(path) + 1),
                       static_cast<uint32_t>(strlen(extra) + 1), 0, {0}};
  if (entry) {
    record.existed = entry->existed ? 1u : 0u;
    record.type = entry->type;
    record.data_size = entry->size;
    if (entry->kind >= KEY_CREATED) copy_text(record.root, sizeof record.root, root_text(entry->root));
  }
  DWORD total = sizeof record + record.path_size + record.extra_size + record.data_size, done = 0;
  unsigned char *bytes = static_cast<unsigned char *>(malloc(total));
  DWORD error = ERROR_OUTOFMEMORY;
  if (bytes) {
    memcpy(bytes, &record, sizeof record);
    memcpy(bytes + sizeof record, path, record.path_size);
    memcpy(bytes + sizeof record + record.path_size, extra, record.extra_size);
    if (record.data_size) memcpy(bytes + total - record.data_size, entry->data, record.data_size);
    error = WriteFile(disk_.get(), bytes, total, &done, nullptr) ? (done == total ? 0 : ERROR_DISK_FULL) : GetLastError();
    free(bytes);
  }
  if (!error) return;
  log_failure(error, "journal: %s no longer grows", disk_path_);
  disk_.reset();
}

void RollbackJournal::save(const JournalEntry *entry) { write_record(static_cast<uint32_t>(entry->kind), entry, entry->path, entry->extra); }

// Ends the file on disk: the journal it held is done with.
void RollbackJournal::close_disk() {
  disk_.reset();
  if (disk_path_[0]) DeleteFileA(disk_path_);
  disk_path_[0] = 0;
}

// The records of a file, oldest first, back in the list. A record cut short at the end (the run
// was killed while writing it) ends the reading; any other fault, or a header naming another
// product, makes the whole file untrustworthy: false, and nothing is kept.
bool RollbackJournal::load(const unsigned char *bytes, DWORD size, const char *product) {
  DWORD at = 0;
  DiskRecord record;
  bool header_read = false;
  for (int index = 0; size - at >= sizeof record; ++index) {
    memcpy(&record, bytes + at, sizeof record);
    if (record.magic != kDiskMagic) return all_zero(bytes + at, size - at) && header_read;
    uint64_t rest = static_cast<uint64_t>(record.path_size) + record.extra_size + record.data_size;
    if (rest > size - at - sizeof record) break;
    const char *path = reinterpret_cast<const char *>(bytes + at + sizeof record);
    const char *extra = path + record.path_size;
    if (!record.path_size || !record.extra_size || path[record.path_size - 1] || extra[record.extra_size - 1] ||
        strlen(path) + 1 != record.path_size || strlen(extra) + 1 != record.extra_size)
      return false;
    bool header = record.kind == kHeaderKind;
    if (header != (index == 0) || (!header && record.kind > VALUE_WRITTEN)) return false;
    if (header && strcmp(path, product) != 0) return false;
    at += static_cast<DWORD>(sizeof record + rest);
    header_read = true;
    if (header) continue;
    record.root[sizeof record.root - 1] = 0;
    JournalEntry *entry = push(static_cast<int>(record.kind), path, extra, record.data_size);
    if (!entry) return false;
    entry->root = root_from_abbreviation(record.root);
    if (record.kind >= KEY_CREATED && !entry->root) return false;
    entry->existed = record.existed != 0;
    entry->type = record.type;
    memcpy(entry->data, extra + record.extra_size, record.data_size);
  }
  return header_read;
}

void RollbackJournal::drop_all() {
  while (newest_) drop_newest();
}

// Undoes what a killed run of the product had done, as its journal on disk tells; a journal that
// is damaged or of another product is left alone whole.
void RollbackJournal::undo_interrupted_run(const JournalScope *scope) {
  bool usable;
  {
    ScopedHandle file(CreateFileA(disk_path_, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return;
    DWORD size = GetFileSize(file.get(), nullptr), done = 0;
    unsigned char *bytes =
        size != INVALID_FILE_SIZE && size <= kDiskLimit ? static_cast<unsigned char *>(malloc(size + 1)) : nullptr;
    usable = bytes && ReadFile(file.get(), bytes, size, &done, nullptr) && done == size &&
             load(bytes, size, scope->product.c_str());
    free(bytes);
  }
  DeleteFileA(disk_path_);
  if (!usable) {
    drop_all();
    log_line("journal: %s is damaged or not this product's; it is ignored", disk_path_);
    return;
  }
  log_line("undo: an earlier installation of this product was stopped part-way; undoing what it did");
  for (JournalEntry *entry = newest_; entry; entry = entry->next) {
    entry->foreign = !made_by_product(scope, entry);
    if (!entry->foreign) continue;
    String item;
    describe(entry, &item);
    log_line("undo: ignored, not a change of this product: %s", item.c_str());
  }
  UndoReport report;
  undo(&report);
}

bool RollbackJournal::created_in_run(HKEY root, const char *path) {
  for (const JournalEntry *entry = newest_key_; entry; entry = entry->older_key)
    if (entry->root == root && ascii_compare_nocase(entry->path, path) == 0) return true;
  return false;
}

void RollbackJournal::begin(const JournalScope *scope) {
  drop_all();
  close_disk();
  const char *name = scope ? scope->product.c_str() : nullptr;
  char path[MAX_PATH];
  if (disk_path(name, path)) {
    copy_text(disk_path_, sizeof disk_path_, path);
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) undo_interrupted_run(scope);  // ends that journal
    copy_text(disk_path_, sizeof disk_path_, path);
    disk_.reset(CreateFileA(disk_path_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr));
    write_record(kHeaderKind, nullptr, name, "");
  }
  active_ = true;
}

RollbackJournal::~RollbackJournal() { drop_all(); }

void RollbackJournal::commit() {
  close_disk();  // first: a run killed while it deletes the kept copies has finished all the same
  for (; newest_; drop_newest()) {
    if (newest_->kind != FILE_REPLACED || MoveFileA(newest_->extra, newest_->path)) continue;
    SetFileAttributesA(newest_->extra, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(newest_->extra);
  }
  active_ = false;
}

void RollbackJournal::undo(UndoReport *report) {
  log_line("undo: start");
  active_ = false;
  if (disk_.valid()) FlushFileBuffers(disk_.get());
  for (; newest_; drop_newest()) {
    if (newest_->foreign) continue;
    ++report->changes;
    DWORD error = undo_entry(newest_);
    String item;
    describe(newest_, &item);
    if (error == 0) {
      log_line("undo: %s", item.c_str());
    } else {
      note_failure(newest_, error, report);
    }
  }
  log_line("undo: end (%d of %d changes not undone)", report->failed, report->changes);
  close_disk();
}

int RollbackJournal::file_before(const char *path, int exists) {
  if (!active_) return 1;
  if (exists < 0) exists = is_regular_file(path);
  if (!exists) {  // nothing, or a directory, in the way
    JournalEntry *entry = push(FILE_CREATED, path, "", 0);
    if (entry) save(entry);
    return entry != nullptr;
  }
  // The kept copy lies beside the file, under a name this run created there: never in a folder
  // that others may write.
  char dir[MAX_PATH];
  char kept[MAX_PATH];
  if (strlen(path) >= MAX_PATH || !parent_dir(path, dir, sizeof dir)) return 0;
  if (!GetTempFileNameA(dir, "zbk", 0, kept)) {
    log_failure(GetLastError(), "file: %s could not be kept beside it", path);
    return 0;
  }
  DeleteFileA(kept);
  JournalEntry *entry = push(FILE_REPLACED, path, kept, 0);
  if (!entry) return 0;
  save(entry);  // before the move: a killed run's kept copy is never unknown
  if (MoveFileA(path, kept)) {
    log_line("file: kept %s as %s", path, kept);
    return 1;
  }
  log_failure(GetLastError(), "file: %s could not be moved aside to %s", path, kept);
  drop_newest();
  return 0;
}

void RollbackJournal::file_not_written(const char *path) {
  if (!active_ || !newest_ || newest_->kind != FILE_REPLACED || strcmp(newest_->path, path) != 0) return;
  DWORD error = GetLastError();
  // A copy leaves the kept one in the journal; only when that fails does the kept one move back.
  delete_file(path);
  if (!CopyFileA(newest_->extra, path, FALSE)) {
    delete_file(path);
    if (MoveFileA(newest_->extra, path)) drop_newest();
  }
  log_line("file: %s not written, the earlier one put back", path);
  SetLastError(error);
}

void RollbackJournal::dir_created(const char *path) {
  if (!active_) return;
  JournalEntry *entry = push(DIR_CREATED, path, "", 0);
  if (!entry) {
    log_failure(ERROR_OUTOFMEMORY, "journal: %s", path);
    return;
  }
  save(entry);
}

void RollbackJournal::key_level_created(HKEY root, const char *level) {
  if (!active_) return;
  JournalEntry *entry = push(KEY_CREATED, level, "", 0);
  if (entry) {
    entry->root = root;
    save(entry);
  }
  log_line("registry key: %s\\%s", root_text(root), level);
}

int RollbackJournal::value_before(HKEY key, HKEY root, const char *path, const char *name) {
  if (!active_) return 1;
  // A value in a key this run created goes with the key, whatever the system reports for it (the
  // 95 family reports an empty default value in every key), so such a key is not asked: the
  // uninstall record writes a value per installed file into a key it created, and each question
  // costs about as much as the write itself.
  DWORD type = 0, size = 0;
  bool existed = !created_in_run(root, path) &&
                 RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
  JournalEntry *entry = push(VALUE_WRITTEN, path, name, existed ? size : 0);
  if (!entry) return 0;
  entry->root = root;
  entry->existed = existed;
  entry->type = type;
  if (existed && RegQueryValueExA(key, name, nullptr, &entry->type, entry->data, &entry->size) != ERROR_SUCCESS) {
    drop_newest();
    return 0;
  }
  save(entry);
  return 1;
}

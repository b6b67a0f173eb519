// The install steps' changes: made, journaled, logged and recorded in one call each.
#include "install/change_writer.h"

#include "install/record_items.h"
#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/file_kinds.h"
#include "util/key_levels.h"
#include "util/path_parts.h"
#include "util/root_keys.h"

namespace {

RollbackJournal *g_running_journal = nullptr;

// A key as the record names it: "<abbreviation>\<path>".
String recorded_name(const char *abbreviation, const char *path) {
  String name = abbreviation;
  name.append("\\");
  name.append(path);
  return name;
}

// The levels a key's creation added, each journaled and recorded as asked.
struct CreatedLevels {
  RollbackJournal *journal;  // null: not journaled
  SetupInfo *record;         // null: not recorded
  HKEY root;
  const char *abbreviation;
  int recorded_up_to;  // deeper levels are not recorded
};

void level_created(const char *level, void *context) {
  const CreatedLevels *created = static_cast<const CreatedLevels *>(context);
  if (created->journal) created->journal->key_level_created(created->root, level);
  if (created->record && key_level_count(level) <= created->recorded_up_to)
    record_created_key(created->record, recorded_name(created->abbreviation, level).c_str());
}

// True when this installation recorded root\path (given as "<abbreviation>\<path>") as created.
bool created_here(const SetupInfo *info, const char *name) {
  for (const UninstallInfo &item : info->uninstall_items)
    if (item.kind == RECORD_CREATED_KEY && ascii_compare_nocase(item.value.c_str(), name) == 0) return true;
  return false;
}

}  // namespace

int ChangeWriter::create_key(kRegKey *key, HKEY root, const char *path, KeyRecording recording) {
  const char *abbreviation = root_abbreviation(root);
  SetupInfo *record = recording != KEY_NOT_RECORDED && abbreviation ? info_ : nullptr;
  CreatedLevels created = {journaling() ? journal_ : nullptr, record, root, abbreviation, 0};
  int existing = created.journal || created.record ? existing_key_levels(root, path) : -1;
  if (!key->Create(root, path) && !key->Open(root, path)) return 0;
  if (existing < 0) return 1;
  // One walk over the new levels serves the journal and the record.
  int levels = key_level_count(path);
  created.recorded_up_to = recording == KEY_PARENTS_RECORDED ? levels - 1 : levels;
  each_created_level(root, path, existing, level_created, &created);
  return 1;
}

void ChangeWriter::record_value(HKEY root, const char *path, const char *name) {
  const char *abbreviation = root_abbreviation(root);
  if (!abbreviation || !info_) return;
  String text = recorded_name(abbreviation, path);
  bool created = created_here(info_, text.c_str());
  text.append(",");
  text.append(name);
  if (created) {
    record_key(info_, text.c_str());
  } else {
    ::record_value(info_, text.c_str());
  }
}

// The value as the log shows it is `shown`; write() writes it.
template <typename Write>
int ChangeWriter::set_value(kRegKey *key, HKEY root, const char *path, const char *name, const char *shown,
                            bool record, Write write) {
  int done = 0;
  if (!journaling() || journal_->value_before(key->getkey(), root, path, name)) {
    log_line("registry: %s\\%s, \"%s\" = %s", root_text(root), path, name, shown);
    done = write();
    // One value that cannot be written does not stop its step, but the log says so.
    if (!done) log_line("registry: %s\\%s, \"%s\": could not be written", root_text(root), path, name);
  } else {
    log_line("registry: %s\\%s, \"%s\": not written, its earlier value could not be kept aside", root_text(root),
             path, name);
  }
  if (record) record_value(root, path, name);
  return done;
}

int ChangeWriter::set_string(kRegKey *key, HKEY root, const char *path, const char *name, const char *text,
                             bool record) {
  String shown = "\"";
  shown.append(text);
  shown.append("\"");
  return set_value(key, root, path, name, shown.c_str(), record, [&] { return key->SetString(name, text); });
}

int ChangeWriter::set_dword(kRegKey *key, HKEY root, const char *path, const char *name, unsigned long number,
                            bool record) {
  char shown[16];
  format_text(shown, sizeof shown, "%lu", number);
  return set_value(key, root, path, name, shown, record, [&] { return key->SetDWORD(name, number); });
}

// Creates one level. A level that is already a directory by the time it is reached (the same
// folder written twice, as in "C:\a\\b" or a trailing backslash) counts as present and is not
// recorded again. A failure keeps CreateDirectoryA's error for the caller.
int ChangeWriter::create_level(const char *level, bool record) {
  if (!CreateDirectoryA(level, nullptr)) {
    DWORD error = GetLastError();
    if (is_directory(level)) return 1;
    SetLastError(error);
    return 0;
  }
  if (journaling()) journal_->dir_created(level);
  log_line("directory: %s", level);
  if (record && info_) record_dir(info_, level);
  return 1;
}

int ChangeWriter::create_directory(const char *path, bool record) {
  PathParts parts;
  if (!split_path(path, &parts)) {
    SetLastError(ERROR_BAD_PATHNAME);
    return 0;
  }
  bool missing[PATH_PART_LIMIT];
  char level[MAX_PATH];
  for (int i = 0; i < parts.count; ++i) {
    path_part(&parts, i, level);
    DWORD attributes = GetFileAttributesA(level);
    missing[i] = attributes == INVALID_FILE_ATTRIBUTES;
    if (!missing[i] && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return 0;
    }
  }
  for (int i = 0; i < parts.count; ++i) {
    if (!missing[i]) continue;
    path_part(&parts, i, level);
    if (!create_level(level, record)) return 0;
  }
  return 1;
}

int ChangeWriter::record_directory(const char *path) { return info_ ? record_dir(info_, path) : 0; }

int ChangeWriter::file_before(const char *path, int exists) {
  return journaling() ? journal_->file_before(path, exists) : 1;
}

void ChangeWriter::file_not_written(const char *path) {
  if (journaling()) journal_->file_not_written(path);
}

int ChangeWriter::file_made(const char *path) { return info_ ? record_file(info_, path) : 0; }

int ChangeWriter::association_made(const char *extension, const char *program) {
  return info_ ? record_assoc(info_, extension, program) : 0;
}

RollbackJournal *running_journal() { return g_running_journal; }

RunningJournal::RunningJournal(RollbackJournal *journal) : previous_(g_running_journal) { g_running_journal = journal; }

RunningJournal::~RunningJournal() { g_running_journal = previous_; }

// Exported to hook libraries: a directory a hook makes while the install steps run is undone with
// them.
int create_path(SetupInfo *info, const char *path, int record) {
  ChangeWriter writer(info, running_journal());
  return writer.create_directory(path, record != 0);
}

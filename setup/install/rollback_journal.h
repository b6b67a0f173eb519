// The rollback journal: every change the install steps make to the machine, kept in memory while
// the steps run, so that a run that fails or is cancelled can undo exactly what it did, newest
// first. Outside the steps (a hook library calling an exported utility) nothing is journaled.
#pragma once

#include <windows.h>

#include <cstdint>

#include "install/journal_scope.h"
#include "sdk/setup_string.h"
#include "scoped.h"

// What an undo could not put back: how many items, and the first few of them, one per line.
struct UndoReport {
  int changes = 0;    // items the journal held
  int failed = 0;     // items that could not be undone
  String listed;      // the first kUndoListed of them, each line "<kind> <path or key>"
};
const int kUndoListed = 10;

struct JournalEntry;

// One run's journal, owned by the install sequence.
class RollbackJournal {
 public:
  RollbackJournal() = default;
  RollbackJournal(const RollbackJournal &) = delete;
  RollbackJournal &operator=(const RollbackJournal &) = delete;
  // A journal neither committed nor undone keeps its file on disk, for the next run to undo.
  ~RollbackJournal();

  // Starts an empty journal for the install steps. With the scope of a product's run the journal
  // is also kept on disk in the Windows folder, and what an earlier run of that product left when
  // it was killed part-way is undone first: only the changes within scope, which a run of this
  // product could have made (journal_scope.h); a journal on disk that is damaged or names another
  // product is ignored whole. scope is read during the call only.
  void begin(const JournalScope *scope = nullptr);
  bool active() const { return active_; }
  // The steps succeeded: the copies of replaced files are deleted (a copy whose file is missing
  // goes back instead). The journal ends.
  void commit();
  // The steps stopped: every journaled change is undone, newest first, each step and failure
  // logged. The journal ends.
  void undo(UndoReport *report);

  // Before a file is written at path: an existing file is moved aside, beside it, under a new
  // name. 1 to go on; 0 when the existing file could not be kept (it must not be written then).
  // A caller that has just looked passes whether a file lies there (1 or 0); -1 makes the journal
  // look.
  int file_before(const char *path, int exists = -1);
  // The file could not be written after file_before: the existing one is put back at once (its
  // kept copy stays journaled, so a hook that writes the file after all is undone too).
  void file_not_written(const char *path);
  // After a directory was created.
  void dir_created(const char *path);
  // After a level of a key ("A", "A\B", ...) was created below root.
  void key_level_created(HKEY root, const char *level);
  // Before the value name of root\path (open as key) is written: its type and data, or its
  // absence. 0 when it could not be journaled (memory); the value must not be written then.
  int value_before(HKEY key, HKEY root, const char *path, const char *name);

 private:
  JournalEntry *push(int kind, const char *path, const char *extra, DWORD data_size);
  void drop_newest();
  void drop_all();
  void write_record(uint32_t kind, const JournalEntry *entry, const char *path, const char *extra);
  void save(const JournalEntry *entry);
  void close_disk();
  bool load(const unsigned char *bytes, DWORD size, const char *product);
  void undo_interrupted_run(const JournalScope *scope);
  bool created_in_run(HKEY root, const char *path);

  JournalEntry *newest_ = nullptr;
  // The created keys alone, newest first: each value written asks whether its key is among them.
  JournalEntry *newest_key_ = nullptr;
  bool active_ = false;
  // The journal on disk.
  ScopedHandle disk_;
  char disk_path_[MAX_PATH] = {0};
};

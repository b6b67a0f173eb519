// The rollback journal: every change the install steps make to the machine, kept in memory while
// the steps run, so that a run that fails or is cancelled can undo exactly what it did, newest
// first. Outside the steps (a hook library calling an exported utility) nothing is journaled.
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"
#include "sdk/setup_string.h"

// What an undo could not put back: how many items, and the first few of them, one per line.
struct UndoReport {
  int changes = 0;    // items the journal held
  int failed = 0;     // items that could not be undone
  String listed;      // the first kUndoListed of them, each line "<kind> <path or key>"
};
const int kUndoListed = 10;

// The root's abbreviation for the log and the journal file; "?" for a root without one.
const char *root_text(HKEY root);

// Starts an empty journal for the install steps. With a product the journal is also kept on disk
// in the Windows folder, and what an earlier run of that product left when it was killed part-way
// is undone first: only the changes that a run of this product could have made (journal_scope.h);
// a journal on disk that is damaged or names another product is ignored whole.
void journal_begin(const SetupInfo *product = nullptr);
bool journal_active();
// The steps succeeded: the copies of replaced files are deleted (a copy whose file is missing goes
// back instead). The journal ends.
void journal_commit();
// The steps stopped: every journaled change is undone, newest first, each step and failure logged.
// The journal ends.
void journal_undo(UndoReport *report);

// Before a file is written at path: an existing file is moved aside, beside it, under a new name.
// 1 to go on; 0 when the existing file could not be kept (it must not be written then). A caller
// that has just looked passes whether a file lies there (1 or 0); -1 makes the journal look.
int journal_file_before(const char *path, int exists = -1);
// The file could not be written after journal_file_before: the existing one is put back at once
// (its kept copy stays journaled, so a hook that writes the file after all is undone too).
void journal_file_not_written(const char *path);
// After a directory was created.
void journal_dir_created(const char *path);
// After root\path was created or opened, `existing` being existing_key_levels from before.
void journal_key_created(HKEY root, const char *path, int existing);
// Before the value name of root\path (open as key) is written: its type and data, or its absence.
// 0 when it could not be journaled (memory); the value must not be written then.
int journal_value_before(HKEY key, HKEY root, const char *path, const char *name);

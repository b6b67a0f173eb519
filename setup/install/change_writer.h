// The one way the install steps change the machine. Each call makes one change, journals it for
// the rollback (when the run keeps a journal), logs it, and enters it in the uninstall record
// where the caller asks for that.
#pragma once

#include <windows.h>

#include "install/rollback_journal.h"
#include "sdk/reg_key.h"
#include "sdk/setup_info.h"

// Which levels of a key the uninstall record gets, among those the creation added.
enum KeyRecording {
  KEY_NOT_RECORDED,
  KEY_RECORDED,          // every level created
  KEY_PARENTS_RECORDED,  // the levels above the key itself (the key goes by other means)
};

class ChangeWriter {
 public:
  // journal: the run's, or null (outside the install steps nothing is journaled).
  ChangeWriter(SetupInfo *info, RollbackJournal *journal) : info_(info), journal_(journal) {}
  SetupInfo *info() const { return info_; }
  // Whether changes are journaled now.
  bool journaling() const { return journal_ && journal_->active(); }

  // Creates root\path into key, or opens it when it cannot be created but exists. 1 when key is
  // open; 0 with the system's reason in GetLastError.
  int create_key(kRegKey *key, HKEY root, const char *path, KeyRecording recording);
  // Writes one value into root\path, open as key: journaled and logged first. With record the
  // value enters the record: as a registry-value item when this installation created the key
  // (uninstallers of earlier versions delete such a key whole, which is then right), otherwise as
  // a value in a key that existed before, of which only the value goes. 1 done, 0 not.
  int set_string(kRegKey *key, HKEY root, const char *path, const char *name, const char *text, bool record);
  int set_dword(kRegKey *key, HKEY root, const char *path, const char *name, unsigned long number, bool record);
  // Records a value as set_* with record does, without writing it.
  void record_value(HKEY root, const char *path, const char *name);

  // Makes every missing level of a directory path, outermost first, each journaled and, with
  // record, recorded. 1 when the whole path exists afterwards; otherwise 0 and GetLastError tells
  // why: the path cannot be split into levels, a level exists as a file, or the system's error for
  // the level it refused.
  int create_directory(const char *path, bool record);
  // Records a directory that the product owns whether or not this run made it.
  int record_directory(const char *path);

  // Before a file is written at path (see RollbackJournal::file_before): 1 to go on.
  int file_before(const char *path, int exists = -1);
  // The file could not be written after file_before: the earlier one goes back at once.
  void file_not_written(const char *path);
  // The file at path is the product's now: it enters the record. 0, or -1 (memory).
  int file_made(const char *path);
  // An association of extension with program was written: it enters the record.
  int association_made(const char *extension, const char *program);

 private:
  int create_level(const char *level, bool record);
  template <typename Write>
  int set_value(kRegKey *key, HKEY root, const char *path, const char *name, const char *shown, bool record,
                Write write);

  SetupInfo *info_;
  RollbackJournal *journal_;
};

// The journal of the install steps running now, for what enters them from outside: a hook library
// calling an exported utility, and the handler of a crash. Null when no steps run.
RollbackJournal *running_journal();
// Makes journal the running one for its lifetime.
class RunningJournal {
 public:
  explicit RunningJournal(RollbackJournal *journal);
  ~RunningJournal();
  RunningJournal(const RunningJournal &) = delete;
  RunningJournal &operator=(const RunningJournal &) = delete;

 private:
  RollbackJournal *previous_;
};

// ArchiveIndex: the directory of an open files.dat, read once and kept as a hash table of its
// member names, so that finding a member reads one entry instead of the whole directory.
#pragma once

#include <cstdint>

#include "sdk/files_dat_format.h"
#include "win_file.h"

class ArchiveIndex {
 public:
  ArchiveIndex();
  ~ArchiveIndex();
  ArchiveIndex(const ArchiveIndex &) = delete;
  ArchiveIndex &operator=(const ArchiveIndex &) = delete;

  // Reads the directory of archive. 0 (and nothing kept) when it cannot be read or memory is
  // short; the caller then scans the directory itself.
  int Build(WinFile *archive);
  void Clear();
  int built() const { return slots_ != nullptr; }

  // The first entry whose name matches name (ignoring letter case, as setup compares names):
  // 1 and *entry filled, or 0.
  int Find(WinFile *archive, const char *name, files_dat::Entry *entry) const;

 private:
  int read_hashes(WinFile *archive);
  int insert_all();
  uint32_t count_;
  uint32_t *hashes_;  // per directory entry
  uint32_t *slots_;   // directory position + 1 per used slot, 0 for a free one
  uint32_t mask_;     // slot count - 1 (a power of two, at least twice the entries)
};

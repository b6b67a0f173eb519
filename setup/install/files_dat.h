// FilesDat: reader of the product archive files.dat (its layout: sdk/files_dat_format.h).
#pragma once

#include <cstdint>
#include <cstdio>

#include "sdk/files_dat_format.h"

typedef files_dat::Entry FilesDatEntry;

// One open archive at a time; the destructor closes it. Every lookup rescans the directory from
// the start, and the first entry whose name matches (ignoring letter case) wins. The archive is
// untrusted: entries whose name is not terminated inside its field are skipped, and a member whose
// blocks do not lie wholly inside the archive is never extracted.
class FilesDat {
 public:
  FilesDat();
  ~FilesDat();
  // 1 when path was opened for reading; 0 when this object is already open (the open archive is
  // kept), the path does not fit in 260 bytes or the file cannot be opened.
  int Open(const char *path);
  // Closes the archive if open and forgets its path. Always 1.
  int Close();
  // 1 and *entry filled (entry may be null) when a member of that name exists; else 0, *entry untouched.
  int Find(const char *name, FilesDatEntry *entry);
  unsigned long Attributes(const char *name);  // 0x80, or 0xFFFFFFFF when absent
  unsigned long Size(const char *name);        // recorded size, 0 when absent
  // Writes the member to destination (overwriting it). 1 on success. On 0 nothing was written: the
  // checks of the entry come before the destination is touched, and a destination that fails while
  // it is written (short read of the archive, disk full) is deleted again.
  int Extract(const char *name, const char *destination);

 private:
  int open_;
  FILE *file_;
  char path_[260];
};

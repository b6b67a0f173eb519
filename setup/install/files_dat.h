// FilesDat: reader of the product archive files.dat (a directory of 276-byte entries, then each
// member stored as pairs of a data block and a mask block; output = data XOR mask).
#pragma once

#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct FilesDatEntry {
  char name[260];
  uint32_t block_size;
  uint32_t reserved;
  uint32_t size;
  uint32_t data_offset;
};
#pragma pack(pop)
static_assert(sizeof(FilesDatEntry) == 276, "files.dat entries are 276 bytes");

class FilesDat {
 public:
  FilesDat();
  ~FilesDat();
  int Open(const char *path);
  int Close();
  int Find(const char *name, FilesDatEntry *entry);
  unsigned long Attributes(const char *name);  // 0x80, or 0xFFFFFFFF when absent
  unsigned long Size(const char *name);
  int Extract(const char *name, const char *destination);

 private:
  int open_;
  FILE *file_;
  char path_[260];
};

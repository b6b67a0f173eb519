// FilesDat: reader of the product archive files.dat (its layout: sdk/files_dat_format.h).
#pragma once

#include <cstdint>

#include "util/archive_index.h"
#include "util/member_reader.h"
#include "sdk/files_dat_format.h"
#include "win_file.h"

typedef files_dat::Entry FilesDatEntry;

// One open archive at a time; the destructor closes it. The first lookup reads the directory into
// an index that later lookups use; the first entry whose name matches (ignoring letter case) wins. The archive is
// untrusted: entries whose name is not terminated inside its field are skipped, and a member whose
// data does not lie wholly inside the archive, or whose LZMA group fails its checks, is never
// extracted. Extracting members in the order they were packed decodes each LZMA group once: the
// decoder (up to 8 MB for its dictionary) is kept until Close.
class FilesDat {
 public:
  FilesDat();
  ~FilesDat();
  FilesDat(const FilesDat &) = delete;
  FilesDat &operator=(const FilesDat &) = delete;
  // 1 when path was opened for reading; 0 when this object is already open (the open archive is
  // kept), the path does not fit in MAX_PATH bytes or the file cannot be opened. While an embedded
  // archive is in use (use_embedded_archive), a path whose file name is files.dat opens that.
  int Open(const char *path);
  // Opens the length bytes from base of the file at path as the archive. 1 on success.
  int OpenWindow(const char *path, uint64_t base, uint64_t length);
  // The directory's entry number index (from 0), when it comes before the end of the directory
  // and its name is terminated. 1 and *entry filled, else 0.
  int EntryAt(uint32_t index, FilesDatEntry *entry);
  // Closes the archive if open and forgets its path. Always 1.
  int Close();
  int is_open() const { return open_; }
  // 1 and *entry filled (entry may be null) when a member of that name exists; else 0, *entry untouched.
  int Find(const char *name, FilesDatEntry *entry);
  unsigned long Attributes(const char *name);  // 0x80, or 0xFFFFFFFF when absent
  unsigned long Size(const char *name);        // recorded size, 0 when absent
  // Writes the member to destination (overwriting it). 1 on success. On 0 nothing was written: the
  // checks of the entry come before the destination is touched, and a destination that fails while
  // it is written (short read of the archive, damaged content, disk full) is deleted again.
  // progress, when given, is told of each piece written.
  int Extract(const char *name, const char *destination, WriteProgress *progress = nullptr);
  // A member's content piece by piece, as Extract reads it (see MemberReader): BeginMember checks
  // where the member of entry (from Find or EntryAt) lies and decodes its LZMA group up to it;
  // then ReadMember hands its content to sink and checks it whole. 1 on success, 0 when the
  // member is damaged, the archive cannot be read or the sink stopped.
  int BeginMember(const FilesDatEntry &entry);
  // The offset of the LZMA group that the member of entry belongs to, as its slot gives it
  // (unchecked); 0 for a member of any other form, or when its slot cannot be read.
  uint32_t GroupOf(const FilesDatEntry &entry);
  int ReadMember(MemberSink *sink);

 private:
  int open_path(const char *path);  // the file itself, whole
  int scan(const char *name, FilesDatEntry *entry);
  ArchiveIndex index_;
  MemberReader reader_;  // keeps an LZMA group decoded so far for the next member of it
  int index_tried_;
  int open_;
  WinFile file_;
  char path_[MAX_PATH];
};

// A member's content written to a file as Extract writes it: the caller creates the file once
// the member has begun, hands it the content as a sink (progress, when given, is told of each
// piece), and finishes it with the member's result; a file whose member or write failed is
// deleted again.
class MemberFile : public MemberSink {
 public:
  MemberFile(const char *destination, WriteProgress *progress) : destination_(destination), progress_(progress) {}
  // Creates the file, or empties an existing one. 1 on success.
  int Create() { return file_.Create(destination_); }
  int Take(const unsigned char *data, size_t n) override;
  // Closes the file: 1 when ok and every write and the close succeeded; otherwise 0, and a file
  // that was created is deleted.
  int Finish(int ok);

 private:
  const char *destination_;
  WriteProgress *progress_;
  WinFile file_;
};

// From now on "files.dat" means the length bytes from base of the file at path (the product
// carried inside a single-file installer); an empty path ends that. 1 when path fits.
int use_embedded_archive(const char *path, uint64_t base, uint64_t length);

// What get_file_size gives for name, with archive (open or not) standing for "files.dat": the size
// of a loose file of that name, else of the archive's member. Callers that ask for many names
// keep one archive, whose index is then read once.
unsigned long loose_or_member_size(FilesDat *archive, const char *name);

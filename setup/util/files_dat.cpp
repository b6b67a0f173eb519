// Reading members of the product archive files.dat, and get_file_size over loose files and the archive.
#include "util/files_dat.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/file_kinds.h"
#include "scoped.h"

namespace {

const unsigned long kNormalAttributes = 0x80;
const unsigned long kInvalidAttributes = 0xFFFFFFFF;

// The product archive carried inside setup.exe itself, when there is one.
struct EmbeddedArchive {
  char path[MAX_PATH];
  uint64_t base;
  uint64_t length;
};
EmbeddedArchive g_embedded;

// The last part of path is files.dat.
bool names_files_dat(const char *path) {
  const char *name = path;
  for (const char *c = path; *c; ++c)
    if (*c == '\\' || *c == '/' || *c == ':') name = c + 1;
  return ascii_compare_nocase(name, "files.dat") == 0;
}

}  // namespace

int use_embedded_archive(const char *path, uint64_t base, uint64_t length) {
  if (!copy_text(g_embedded.path, sizeof g_embedded.path, path ? path : "")) return 0;
  g_embedded.base = base;
  g_embedded.length = length;
  return 1;
}

FilesDat::FilesDat() : index_tried_(0), open_(0) { memset(path_, 0, sizeof path_); }

FilesDat::~FilesDat() {
  if (open_) Close();
}

int FilesDat::Open(const char *path) {
  if (!open_ && path && g_embedded.path[0] && names_files_dat(path))
    return OpenWindow(g_embedded.path, g_embedded.base, g_embedded.length);
  return open_path(path);
}

int FilesDat::OpenWindow(const char *path, uint64_t base, uint64_t length) {
  if (!open_path(path)) return 0;
  if (file_.SetWindow(base, length)) return 1;
  Close();
  return 0;
}

int FilesDat::open_path(const char *path) {
  char stored[sizeof path_];
  if (open_ || !path || !copy_text(stored, sizeof stored, path) || !file_.OpenRead(path)) return 0;
  memcpy(path_, stored, sizeof path_);
  open_ = 1;
  return 1;
}

int FilesDat::EntryAt(uint32_t index, FilesDatEntry *entry) {
  unsigned char bytes[files_dat::kEntrySize];
  if (!open_ || !file_.Seek(static_cast<uint64_t>(index) * files_dat::kEntrySize) ||
      !file_.ReadExact(bytes, sizeof bytes))
    return 0;
  FilesDatEntry found;
  files_dat::decode_entry(bytes, &found);
  if (files_dat::ends_directory(found) || !found.name_terminated) return 0;
  *entry = found;
  return 1;
}

int FilesDat::Close() {
  reader_.Release();
  index_.Clear();
  index_tried_ = 0;
  file_.Close();
  memset(path_, 0, sizeof path_);
  open_ = 0;
  return 1;
}

int FilesDat::Find(const char *name, FilesDatEntry *entry) {
  if (!open_ || !name) return 0;
  if (!index_tried_) {
    index_tried_ = 1;
    index_.Build(&file_);
  }
  FilesDatEntry found;
  int ok = index_.built() ? index_.Find(&file_, name, &found) : scan(name, &found);
  if (ok && entry) *entry = found;
  return ok;
}

// The directory read from its start, without the index.
int FilesDat::scan(const char *name, FilesDatEntry *entry) {
  if (!file_.Seek(0)) return 0;
  unsigned char bytes[files_dat::kEntrySize];
  FilesDatEntry candidate;
  while (file_.ReadExact(bytes, sizeof bytes)) {
    files_dat::decode_entry(bytes, &candidate);
    if (files_dat::ends_directory(candidate)) return 0;
    // A name that fills its whole field has no terminator: a damaged entry that names nothing.
    if (!candidate.name_terminated) continue;
    if (mbcs_compare_nocase(name, candidate.name) == 0) {
      *entry = candidate;
      return 1;
    }
  }
  return 0;
}

unsigned long FilesDat::Attributes(const char *name) {
  return Find(name, nullptr) ? kNormalAttributes : kInvalidAttributes;
}

unsigned long FilesDat::Size(const char *name) {
  FilesDatEntry entry;
  return Find(name, &entry) ? entry.size : 0;
}

int FilesDat::Extract(const char *name, const char *destination, WriteProgress *progress) {
  if (!open_ || !destination) return 0;
  FilesDatEntry entry;
  if (!Find(name, &entry)) return 0;
  if (!BeginMember(entry)) return 0;
  MemberFile output(destination, progress);
  if (!output.Create()) return 0;
  return output.Finish(ReadMember(&output));
}

int FilesDat::BeginMember(const FilesDatEntry &entry) {
  // GetFileSize tells lengths beyond 2 GiB, and exists on every Windows version.
  uint64_t length = 0;
  return open_ && file_.Size(&length) && reader_.Begin(&file_, length, entry);
}

uint32_t FilesDat::GroupOf(const FilesDatEntry &entry) {
  unsigned char raw[files_dat::kGroupSlotSize];
  if (!open_ || !files_dat::is_compressed(entry) || !file_.Seek(entry.data_offset) || !file_.ReadExact(raw, sizeof raw))
    return 0;
  files_dat::GroupSlot slot;
  files_dat::decode_group_slot(raw, &slot);
  return slot.marker == files_dat::kGroupSlotMarker ? slot.group_offset : 0;
}

int FilesDat::ReadMember(MemberSink *sink) { return open_ && reader_.ReadTo(sink); }

int MemberFile::Take(const unsigned char *data, size_t n) {
  if (progress_) progress_->Wrote(n);
  return file_.Write(data, n);
}

int MemberFile::Finish(int ok) {
  if (!file_.is_open()) return 0;
  if (!file_.Close()) ok = 0;
  if (!ok) DeleteFileA(destination_);
  return ok;
}

unsigned long loose_or_member_size(FilesDat *archive, const char *name) {
  if (!name) return 0;
  if (is_regular_file(name)) {
    ScopedHandle file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return 0;
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD low = GetFileSize(file.get(), &high);
    DWORD error = GetLastError();
    if (low == 0xFFFFFFFF && error != NO_ERROR) return 0;
    return high ? 0xFFFFFFFFUL : low;  // sizes beyond 4 GiB do not fit the result
  }
  return archive->Size(name);
}

unsigned long get_file_size(const char *name) {
  FilesDat archive;
  archive.Open("files.dat");
  return loose_or_member_size(&archive, name);
}

int extract_archive_member(const char *archive_path, const char *name, const char *destination) {
  FilesDat archive;
  return archive.Open(archive_path) && archive.Extract(name, destination);
}

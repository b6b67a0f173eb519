// Reading members of the product archive files.dat, and get_file_size over loose files and the archive.
#include "util/files_dat.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/file_kinds.h"
#include "util/member_inflate.h"
#include "scoped.h"

namespace {

const unsigned long kNormalAttributes = 0x80;
const unsigned long kInvalidAttributes = 0xFFFFFFFF;

// data[i] ^= mask[i] for n bytes, a machine word at a time where the length allows.
void unmask(unsigned char *data, const unsigned char *mask, size_t n) {
  size_t i = 0;
  for (; i + sizeof(uint64_t) <= n; i += sizeof(uint64_t)) {
    uint64_t d, m;
    memcpy(&d, data + i, sizeof d);
    memcpy(&m, mask + i, sizeof m);
    d ^= m;
    memcpy(data + i, &d, sizeof d);
  }
  for (; i < n; ++i) data[i] ^= mask[i];
}

// Copies every block pair of the member from archive (already positioned) to destination.
// 0 as soon as a block cannot be read whole or the output cannot be written, and when the
// content does not give the checksum stored in the entry.
int copy_blocks(WinFile *archive, WinFile *destination, const FilesDatEntry &entry, unsigned char *data,
                unsigned char *mask) {
  size_t block = entry.block_size;
  uint32_t remaining = entry.size, crc = 0;
  while (remaining > 0) {
    size_t n = remaining < block ? remaining : block;
    if (!archive->ReadExact(data, block) || !archive->ReadExact(mask, block)) return 0;
    unmask(data, mask, n);
    crc = files_dat::crc32_update(crc, data, n);
    if (!destination->Write(data, n)) return 0;
    remaining -= static_cast<uint32_t>(n);
  }
  // A stored checksum that the content does not give marks a damaged member (0: none stored).
  return entry.reserved == 0 || entry.reserved == crc;
}

// Two block buffers of B bytes each, freed on destruction. Allocated separately so that no
// size computation can wrap on a 32-bit system.
struct BlockBuffers {
  unsigned char *data = nullptr;
  unsigned char *mask = nullptr;
  ~BlockBuffers() {
    free(data);
    free(mask);
  }
  int allocate(uint32_t block_size) {
    data = static_cast<unsigned char *>(malloc(block_size));
    mask = static_cast<unsigned char *>(malloc(block_size));
    return data && mask;
  }
};

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

int FilesDat::Extract(const char *name, const char *destination) {
  if (!open_ || !destination) return 0;
  FilesDatEntry entry;
  if (!Find(name, &entry)) return 0;
  // GetFileSize tells lengths beyond 2 GiB, and exists on every Windows version.
  uint64_t length = 0;
  if (!file_.Size(&length)) return 0;
  if (files_dat::is_compressed(entry)) return extract_compressed(entry, length, destination);
  if (!files_dat::member_fits(entry, length)) return 0;

  // Past the checks above the member's blocks lie inside the archive, so B is bounded by its size.
  BlockBuffers buffers;
  if (entry.size > 0 && !buffers.allocate(entry.block_size)) return 0;
  WinFile output;
  if (!output.Create(destination)) return 0;
  int ok = file_.Seek(entry.data_offset) &&
           (entry.size == 0 ? entry.reserved == 0 : copy_blocks(&file_, &output, entry, buffers.data, buffers.mask));
  if (!output.Close()) ok = 0;
  if (!ok) DeleteFileA(destination);
  return ok;
}

int FilesDat::extract_compressed(const FilesDatEntry &entry, uint64_t length, const char *destination) {
  uint32_t stream_length = 0;
  if (!find_compressed_stream(&file_, length, entry, &stream_length)) return 0;
  WinFile output;
  if (!output.Create(destination)) return 0;
  int ok = inflate_member(&file_, stream_length, entry, &output);
  if (!output.Close()) ok = 0;
  if (!ok) DeleteFileA(destination);
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

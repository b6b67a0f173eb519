// The hash index of files.dat's directory.
#include "util/archive_index.h"

#include <cstdlib>

#include "util/bounded_text.h"

namespace {

// Directories larger than this (a damaged archive, or one of millions of members) are scanned.
const uint32_t kMaxIndexed = 1u << 20;

int read_entry_at(WinFile *archive, uint32_t position, files_dat::Entry *entry) {
  unsigned char bytes[files_dat::kEntrySize];
  if (!archive->Seek(static_cast<uint64_t>(position) * files_dat::kEntrySize) ||
      !archive->ReadExact(bytes, sizeof bytes))
    return 0;
  files_dat::decode_entry(bytes, entry);
  return 1;
}

// Entries up to the one that ends the directory (or the end of the file); 0 past kMaxIndexed.
int count_entries(WinFile *archive, uint32_t *count) {
  if (!archive->Seek(0)) return 0;
  unsigned char bytes[files_dat::kEntrySize];
  uint32_t n = 0;
  while (archive->ReadExact(bytes, sizeof bytes) && bytes[0] != 0) {
    if (++n > kMaxIndexed) return 0;
  }
  *count = n;
  return 1;
}

}  // namespace

ArchiveIndex::ArchiveIndex() : count_(0), hashes_(nullptr), slots_(nullptr), mask_(0) {}

ArchiveIndex::~ArchiveIndex() { Clear(); }

void ArchiveIndex::Clear() {
  free(hashes_);
  free(slots_);
  hashes_ = nullptr;
  slots_ = nullptr;
  count_ = 0;
  mask_ = 0;
}

int ArchiveIndex::Build(WinFile *archive) {
  Clear();
  uint32_t count = 0;
  if (!count_entries(archive, &count)) return 0;
  uint32_t slots = 16;
  while (slots < 2 * count) slots *= 2;
  hashes_ = static_cast<uint32_t *>(malloc((count ? count : 1) * sizeof(uint32_t)));
  slots_ = static_cast<uint32_t *>(calloc(slots, sizeof(uint32_t)));
  count_ = count;
  mask_ = slots - 1;
  if (!hashes_ || !slots_ || !insert_all(archive)) {
    Clear();
    return 0;
  }
  return 1;
}

// Linear probing keeps entries of one hash in directory order, so the first of two members of
// one name is found first, as a scan of the directory finds it.
int ArchiveIndex::insert_all(WinFile *archive) {
  if (!archive->Seek(0)) return 0;
  unsigned char bytes[files_dat::kEntrySize];
  files_dat::Entry entry;
  for (uint32_t i = 0; i < count_; ++i) {
    if (!archive->ReadExact(bytes, sizeof bytes)) return 0;
    files_dat::decode_entry(bytes, &entry);
    // A name that fills its whole field has no terminator: a damaged entry that names nothing.
    if (!entry.name_terminated) continue;
    hashes_[i] = mbcs_hash_nocase(entry.name);
    uint32_t slot = hashes_[i] & mask_;
    while (slots_[slot]) slot = (slot + 1) & mask_;
    slots_[slot] = i + 1;
  }
  return 1;
}

int ArchiveIndex::Find(WinFile *archive, const char *name, files_dat::Entry *entry) const {
  if (!slots_ || !name) return 0;
  uint32_t hash = mbcs_hash_nocase(name);
  for (uint32_t slot = hash & mask_; slots_[slot]; slot = (slot + 1) & mask_) {
    uint32_t position = slots_[slot] - 1;
    if (hashes_[position] != hash) continue;
    files_dat::Entry candidate;
    if (!read_entry_at(archive, position, &candidate)) return 0;
    if (mbcs_compare_nocase(name, candidate.name) != 0) continue;
    *entry = candidate;
    return 1;
  }
  return 0;
}

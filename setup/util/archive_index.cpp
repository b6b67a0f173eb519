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
  if (!read_hashes(archive) || !insert_all()) {
    Clear();
    return 0;
  }
  return 1;
}

// One pass over the directory, up to the entry that ends it (or the end of the file): the hash
// of every entry's name, in directory order. 0 past kMaxIndexed entries or when memory is short.
int ArchiveIndex::read_hashes(WinFile *archive) {
  if (!archive->Seek(0)) return 0;
  unsigned char bytes[files_dat::kEntrySize];
  files_dat::Entry entry;
  uint32_t capacity = 0;
  while (archive->ReadExact(bytes, sizeof bytes) && bytes[0] != 0) {
    if (count_ == kMaxIndexed) return 0;
    if (count_ == capacity) {
      capacity = capacity ? 2 * capacity : 256;
      uint32_t *grown = static_cast<uint32_t *>(realloc(hashes_, capacity * sizeof(uint32_t)));
      if (!grown) return 0;
      hashes_ = grown;
    }
    files_dat::decode_entry(bytes, &entry);
    hashes_[count_++] = mbcs_hash_nocase(entry.name);
  }
  return 1;
}

// Linear probing keeps entries of one hash in directory order, so the first of two members of
// one name is found first, as a scan of the directory finds it.
int ArchiveIndex::insert_all() {
  uint32_t slots = 16;
  while (slots < 2 * count_) slots *= 2;
  slots_ = static_cast<uint32_t *>(calloc(slots, sizeof(uint32_t)));
  if (!slots_) return 0;
  mask_ = slots - 1;
  for (uint32_t i = 0; i < count_; ++i) {
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
    // A name that fills its whole field has no terminator: a damaged entry that names nothing.
    if (!candidate.name_terminated || mbcs_compare_nocase(name, candidate.name) != 0) continue;
    *entry = candidate;
    return 1;
  }
  return 0;
}

// Reading a member of files.dat in whichever form its entry gives, into a sink.
#include "util/member_reader.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "util/member_inflate.h"

namespace {

const size_t kPiece = LzmaGroupReader::kPiece;

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

// The length field of a compressed member: a deflate stream's length, or the marker of a group slot.
int read_length_field(WinFile *archive, uint32_t data_offset, uint32_t *field) {
  unsigned char raw[files_dat::kCompressedLengthField];
  if (!archive->Seek(data_offset) || !archive->ReadExact(raw, sizeof raw)) return 0;
  *field = files_dat::get32(raw);
  return 1;
}

}  // namespace

int MemberReader::Source::ReadAt(uint64_t offset, void *out, size_t size) {
  return file->Seek(offset) && file->ReadExact(out, size);
}

MemberReader::MemberReader() : form_(kNone), entry_(), archive_(nullptr), data_at_(0), stream_length_(0) {}

int MemberReader::Begin(WinFile *archive, uint64_t archive_length, const files_dat::Entry &entry) {
  form_ = kNone;
  archive_ = archive;
  entry_ = entry;
  data_at_ = entry.data_offset;
  if (!files_dat::is_compressed(entry)) {
    if (!files_dat::member_fits(entry, archive_length)) return 0;
    form_ = kBlocks;
    return 1;
  }
  uint32_t field = 0;
  if (!read_length_field(archive, entry.data_offset, &field)) return 0;
  if (field == files_dat::kGroupSlotMarker) {
    source_.file = archive;
    if (!groups_.Begin(&source_, archive_length, entry)) return 0;
    form_ = kGroup;
    return 1;
  }
  if (!files_dat::compressed_fits(entry, field, archive_length)) return 0;
  data_at_ += files_dat::kCompressedLengthField;
  stream_length_ = field;
  form_ = kDeflate;
  return 1;
}

int MemberReader::ReadTo(MemberSink *sink) {
  Form form = form_;
  form_ = kNone;  // one ReadTo per Begin
  if (form == kBlocks) return read_blocks(sink);
  if (form == kDeflate) return archive_->Seek(data_at_) && inflate_member(archive_, stream_length_, entry_, sink);
  if (form != kGroup) return 0;
  for (;;) {
    const unsigned char *data = nullptr;
    size_t n = 0;
    if (!groups_.Next(&data, &n)) return 0;
    if (n == 0) return 1;
    if (!sink->Take(data, n)) return 0;
  }
}

// Every block pair of the member, unmasked. 0 as soon as a block cannot be read whole or the
// sink stops, and when the content does not give the checksum stored in the entry (0: none
// stored; an empty member's checksum is that of no bytes, 0).
int MemberReader::read_blocks(MemberSink *sink) {
  // Begin found the member's blocks inside the archive, so B is bounded by the archive's size.
  BlockBuffers buffers;
  if (entry_.size > 0 && !buffers.allocate(entry_.block_size)) return 0;
  if (!archive_->Seek(data_at_)) return 0;
  size_t block = entry_.block_size;
  uint32_t remaining = entry_.size, crc = 0;
  while (remaining > 0) {
    size_t n = remaining < block ? remaining : block;
    if (!archive_->ReadExact(buffers.data, block) || !archive_->ReadExact(buffers.mask, block)) return 0;
    unmask(buffers.data, buffers.mask, n);
    crc = static_cast<uint32_t>(crc32(crc, buffers.data, static_cast<uInt>(n)));
    for (size_t done = 0, piece; done < n; done += piece) {
      piece = n - done < kPiece ? n - done : kPiece;
      if (!sink->Take(buffers.data + done, piece)) return 0;
    }
    remaining -= static_cast<uint32_t>(n);
  }
  return entry_.reserved == 0 || entry_.reserved == crc;
}

// A compressed member, inflated piece by piece through zlib into the destination.
#include "util/member_inflate.h"

#include <zlib.h>

#include <cstdlib>

namespace {

const uInt kChunk = 32768;

voidpf zlib_alloc(voidpf, uInt count, uInt size) { return calloc(count, size); }
void zlib_free(voidpf, voidpf block) { free(block); }

// The stream's buffers and state, released on destruction.
class Inflater {
 public:
  Inflater() : in_(static_cast<Bytef *>(malloc(kChunk))), out_(static_cast<Bytef *>(malloc(kChunk))) {
    stream_.zalloc = zlib_alloc;
    stream_.zfree = zlib_free;
    stream_.opaque = nullptr;
    ready_ = in_ && out_ && inflateInit2(&stream_, -MAX_WBITS) == Z_OK;
  }
  ~Inflater() {
    if (ready_) inflateEnd(&stream_);
    free(in_);
    free(out_);
  }
  Inflater(const Inflater &) = delete;
  Inflater &operator=(const Inflater &) = delete;

  // Inflates stream_length bytes of archive into destination; see inflate_member.
  bool run(WinFile *archive, uint32_t stream_length, uint32_t size, uint32_t *crc, WinFile *destination) {
    if (!ready_) return false;
    uint32_t unread = stream_length, written = 0;
    stream_.avail_in = 0;
    for (;;) {
      if (stream_.avail_in == 0 && unread > 0) {
        uInt n = unread < kChunk ? unread : kChunk;
        if (!archive->ReadExact(in_, n)) return false;
        stream_.next_in = in_;
        stream_.avail_in = n;
        unread -= n;
      }
      stream_.next_out = out_;
      stream_.avail_out = kChunk;
      int r = inflate(&stream_, Z_NO_FLUSH);
      uInt produced = kChunk - stream_.avail_out;
      if (produced > size - written) return false;  // more than the entry says: damaged
      *crc = files_dat::crc32_update(*crc, out_, produced);
      if (produced && !destination->Write(out_, produced)) return false;
      written += produced;
      if (r == Z_STREAM_END) return written == size && unread == 0 && stream_.avail_in == 0;
      // Out of input before the stream's end: cut short. Any other error: damaged.
      if (r == Z_BUF_ERROR ? (unread == 0 && stream_.avail_in == 0 && produced == 0) : r != Z_OK) return false;
    }
  }

 private:
  z_stream stream_ = {};
  Bytef *in_;
  Bytef *out_;
  bool ready_ = false;
};

}  // namespace

int find_compressed_stream(WinFile *archive, uint64_t archive_length, const files_dat::Entry &entry,
                           uint32_t *stream_length) {
  unsigned char field[files_dat::kCompressedLengthField];
  if (!archive->Seek(entry.data_offset) || !archive->ReadExact(field, sizeof field)) return 0;
  uint32_t length = files_dat::get32(field);
  if (!files_dat::compressed_fits(entry, length, archive_length)) return 0;
  *stream_length = length;
  return 1;
}

int inflate_member(WinFile *archive, uint32_t stream_length, const files_dat::Entry &entry, WinFile *destination) {
  Inflater inflater;
  uint32_t crc = 0;
  if (!inflater.run(archive, stream_length, entry.size, &crc, destination)) return 0;
  return entry.reserved == 0 || entry.reserved == crc;
}

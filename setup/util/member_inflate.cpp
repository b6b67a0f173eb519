// A compressed member, inflated piece by piece through zlib into a sink.
#include "util/member_inflate.h"

#include <zlib.h>

#include <cstdlib>

namespace {

const uInt kChunk = 32768;
const uInt kWindow = 1u << MAX_WBITS;

voidpf zlib_alloc(voidpf, uInt count, uInt size) { return calloc(count, size); }
void zlib_free(voidpf, voidpf block) { free(block); }

// The stream being inflated: zlib's raw inflater pulls the input and pushes the output through
// the two callbacks below, which keep to the stream's length and the entry's size.
struct Inflation {
  WinFile *archive;
  MemberSink *sink;
  Bytef *input;
  uint32_t unread;   // stream bytes not read from the archive yet
  uint32_t room;     // bytes the entry's size still allows
  uint32_t crc;
  bool failed;       // the archive could not be read, or the sink stopped
};

unsigned pull(void *context, z_const unsigned char **next) {
  Inflation *in = static_cast<Inflation *>(context);
  uInt n = in->unread < kChunk ? in->unread : kChunk;
  if (n == 0) return 0;  // the stream's length is used up: cut short
  if (!in->archive->ReadExact(in->input, n)) {
    in->failed = true;
    return 0;
  }
  in->unread -= n;
  *next = in->input;
  return n;
}

int push(void *context, unsigned char *data, unsigned n) {
  Inflation *out = static_cast<Inflation *>(context);
  if (n > out->room) return 1;  // more than the entry says: damaged
  out->room -= n;
  out->crc = static_cast<uint32_t>(crc32(out->crc, data, n));
  if (n == 0 || out->sink->Take(data, n)) return 0;
  out->failed = true;
  return 1;
}

// The window and the input buffer, released on destruction.
struct Buffers {
  Bytef *window = static_cast<Bytef *>(malloc(kWindow));
  Bytef *input = static_cast<Bytef *>(malloc(kChunk));
  ~Buffers() {
    free(window);
    free(input);
  }
};

}  // namespace

int inflate_member(WinFile *archive, uint32_t stream_length, const files_dat::Entry &entry, MemberSink *sink) {
  Buffers buffers;
  z_stream stream = {};
  stream.zalloc = zlib_alloc;
  stream.zfree = zlib_free;
  if (!buffers.window || !buffers.input || inflateBackInit(&stream, MAX_WBITS, buffers.window) != Z_OK) return 0;
  Inflation inflation = {archive, sink, buffers.input, stream_length, entry.size, 0, false};
  int r = inflateBack(&stream, pull, &inflation, push, &inflation);
  // Whole: the stream ended where its length says, with exactly the entry's size.
  bool whole = r == Z_STREAM_END && !inflation.failed && inflation.unread == 0 && stream.avail_in == 0 &&
               inflation.room == 0;
  inflateBackEnd(&stream);
  return whole && (entry.reserved == 0 || entry.reserved == inflation.crc);
}

// Compressed members through zlib's raw deflate.
#include "member_deflate.h"

#include <zlib.h>

#include <vector>

#include "file_io.h"
#include "messages.h"

namespace {

const size_t kChunk = 65536;

bool damaged(const std::string &archive, const files_dat::Entry &entry, const char *why) {
  report("%s: the compressed data of \"%s\" %s: the archive is damaged", archive.c_str(), entry.name, why);
  return false;
}

// Feeds the n bytes at in to z and hands each piece of output, at most kChunk bytes in packed, to
// take(bytes) until z has no more to give for them or take returns false.
template <class Take>
void deflate_input(z_stream *z, unsigned char *in, size_t n, int flush, std::vector<unsigned char> *packed, Take take) {
  z->next_in = in;
  z->avail_in = static_cast<uInt>(n);
  do {
    z->next_out = packed->data();
    z->avail_out = static_cast<uInt>(kChunk);
    deflate(z, flush);
  } while (take(kChunk - z->avail_out) && z->avail_out == 0);
}

}  // namespace

int deflate_member(FILE *source, const std::string &source_path, FILE *out, const std::string &archive,
                   uint64_t position, uint64_t limit, uint64_t *span, uint32_t *size, uint32_t *crc) {
  // Where the length field alone takes the block pairs' room nothing is written: the field would
  // stay behind the shorter block pairs as bytes of no member, at the archive's end.
  if (limit <= files_dat::kCompressedLengthField) return -1;
  z_stream z = {};
  if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY) != Z_OK) {
    report("cannot start compressing %s", source_path.c_str());
    return 0;
  }
  std::vector<unsigned char> in(kChunk), packed(kChunk);
  unsigned char field[files_dat::kCompressedLengthField] = {};
  uint64_t total = 0, written = sizeof field;
  uint32_t sum = 0;
  int result = seek_to(out, position) && fwrite(field, 1, sizeof field, out) == sizeof field ? 1 : 0;
  for (int flush = Z_NO_FLUSH; result == 1 && flush != Z_FINISH;) {
    size_t n = fread(in.data(), 1, kChunk, source);
    if (n < kChunk && ferror(source)) {
      report("cannot read %s: %s", source_path.c_str(), error_text().c_str());
      deflateEnd(&z);
      return 0;
    }
    total += n;
    if (total > 0xFFFFFFFFu) {
      report("%s is too large: members must be smaller than 4 GiB", source_path.c_str());
      deflateEnd(&z);
      return 0;
    }
    sum = static_cast<uint32_t>(crc32(sum, in.data(), static_cast<uInt>(n)));
    flush = n < kChunk ? Z_FINISH : Z_NO_FLUSH;
    deflate_input(&z, in.data(), n, flush, &packed, [&](size_t produced) {
      if (written + produced >= limit) {
        result = -1;  // not smaller than the block pairs: nothing more is written
      } else if (fwrite(packed.data(), 1, produced, out) != produced) {
        result = 0;
      }
      written += produced;
      return result == 1;
    });
  }
  deflateEnd(&z);
  if (result == 1) {
    // The length field, now that the stream's length is known.
    files_dat::put32(field, static_cast<uint32_t>(written - sizeof field));
    if (!seek_to(out, position) || fwrite(field, 1, sizeof field, out) != sizeof field ||
        !seek_to(out, position + written))
      result = 0;
  }
  if (result == 0) report("cannot write %s: %s", archive.c_str(), error_text().c_str());
  if (result != 1) return result;
  *span = written;
  *size = static_cast<uint32_t>(total);
  *crc = sum;
  return 1;
}

bool deflate_shrinks(FILE *source) {
  z_stream z = {};
  if (!seek_to(source, 0) || deflateInit2(&z, 1, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
  std::vector<unsigned char> in(kChunk), packed(kChunk);
  uint64_t total = 0, produced = 0;
  for (int flush = Z_NO_FLUSH; flush != Z_FINISH;) {
    size_t n = fread(in.data(), 1, kChunk, source);
    flush = n < kChunk ? Z_FINISH : Z_NO_FLUSH;
    total += n;
    deflate_input(&z, in.data(), n, flush, &packed, [&](size_t piece) {
      produced += piece;
      return true;
    });
  }
  deflateEnd(&z);
  return !ferror(source) && produced < total - total / 32;
}

bool inflate_member(FILE *archive, uint64_t archive_length, const files_dat::Entry &entry, FILE *out,
                    const std::string &archive_path, const std::string &target) {
  unsigned char field[files_dat::kCompressedLengthField];
  if (!seek_to(archive, entry.data_offset) || fread(field, 1, sizeof field, archive) != sizeof field)
    return damaged(archive_path, entry, "lies past the end of the archive");
  uint32_t unread = files_dat::get32(field);
  if (!files_dat::compressed_fits(entry, unread, archive_length))
    return damaged(archive_path, entry, "runs past the end of the archive");
  z_stream z = {};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return damaged(archive_path, entry, "cannot be read (out of memory)");
  std::vector<unsigned char> in(kChunk), plain(kChunk);
  uint64_t produced_total = 0;
  uint32_t crc = 0;
  const char *why = nullptr;
  for (int r = Z_OK; r != Z_STREAM_END && !why;) {
    if (z.avail_in == 0 && unread > 0) {
      size_t n = unread < kChunk ? unread : kChunk;
      if (fread(in.data(), 1, n, archive) != n) {
        why = "cannot be read";
        break;
      }
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(n);
      unread -= static_cast<uint32_t>(n);
    }
    z.next_out = plain.data();
    z.avail_out = static_cast<uInt>(kChunk);
    r = inflate(&z, Z_NO_FLUSH);
    size_t produced = kChunk - z.avail_out;
    produced_total += produced;
    crc = static_cast<uint32_t>(crc32(crc, plain.data(), static_cast<uInt>(produced)));
    if (produced_total > entry.size) {
      why = "inflates to more than the member's size";
    } else if (out && fwrite(plain.data(), 1, produced, out) != produced) {
      inflateEnd(&z);
      report("cannot write %s: %s", target.c_str(), error_text().c_str());
      return false;
    } else if (r == Z_BUF_ERROR ? (unread == 0 && z.avail_in == 0 && produced == 0) : (r != Z_OK && r != Z_STREAM_END)) {
      why = r == Z_BUF_ERROR ? "is cut short" : "is not a valid deflate stream";
    }
  }
  bool rest_unused = unread > 0 || z.avail_in > 0;
  inflateEnd(&z);
  if (!why && (produced_total != entry.size || rest_unused))
    why = produced_total != entry.size ? "inflates to fewer bytes than the member's size" : "ends before its length";
  if (why) return damaged(archive_path, entry, why);
  if (entry.reserved != 0 && entry.reserved != crc) {
    report("the content of \"%s\" does not match its checksum: the archive is damaged", entry.name);
    return false;
  }
  return true;
}

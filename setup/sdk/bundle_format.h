// A single-file installer, as `filesdat product --one-file` writes it and setup reads it:
//
//   setup.exe as built (archive_offset bytes)
//   the product's files.dat                          [archive_offset, support_offset)
//   a files.dat-layout archive of the files that must lie on disk to be used: setup.ini,
//   license.txt, dsetup.dll and the resource library, each under its plain file name
//                                                    [support_offset, file length - kTrailerSize)
//   the trailer: the 8 bytes of kBundleMagic, then archive_offset and support_offset, 32-bit
//   little-endian
//
// Every offset counts from the start of the file; the data offsets inside each archive count from
// that archive's start. Setup started from such a file unpacks the second archive and the plain
// setup.exe into a private folder and reads the product's files.dat in place.
//
// Plain C++ with fixed-width types and no system headers, so tools on any host can include it.
#pragma once

#include <cstdint>
#include <cstring>

namespace bundle {

const char kBundleMagic[8] = {'Z', 'S', 'E', 'T', 'U', 'P', '1', 0};
const uint32_t kTrailerSize = 16;

struct Trailer {
  uint32_t archive_offset;
  uint32_t support_offset;
};

inline void encode_trailer(const Trailer &trailer, unsigned char out[kTrailerSize]) {
  memcpy(out, kBundleMagic, sizeof kBundleMagic);
  for (int i = 0; i < 4; ++i) {
    out[8 + i] = static_cast<unsigned char>(trailer.archive_offset >> (8 * i));
    out[12 + i] = static_cast<unsigned char>(trailer.support_offset >> (8 * i));
  }
}

// True when the last kTrailerSize bytes of a file of file_length bytes are a trailer whose parts
// lie in order inside the file.
inline bool decode_trailer(const unsigned char in[kTrailerSize], uint64_t file_length, Trailer *trailer) {
  if (memcmp(in, kBundleMagic, sizeof kBundleMagic) != 0 || file_length < kTrailerSize) return false;
  uint32_t archive = 0, support = 0;
  for (int i = 3; i >= 0; --i) {
    archive = archive << 8 | in[8 + i];
    support = support << 8 | in[12 + i];
  }
  if (archive == 0 || archive > support || support > file_length - kTrailerSize) return false;
  trailer->archive_offset = archive;
  trailer->support_offset = support;
  return true;
}

}  // namespace bundle

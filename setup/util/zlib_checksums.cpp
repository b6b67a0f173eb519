// The two checksums zlib's inflate links against. setup inflates raw deflate streams only, which
// carry neither; the archive's own CRC-32 (the same polynomial) and a plain Adler-32 stand in
// for zlib's table-driven versions, which would add 10 KB of code and tables to setup.exe.
#include <zlib.h>

#include "sdk/files_dat_format.h"

extern "C" uLong ZEXPORT crc32(uLong crc, const Bytef *buf, uInt len) {
  if (!buf) return 0;
  return files_dat::crc32_update(static_cast<uint32_t>(crc), buf, len);
}

extern "C" uLong ZEXPORT adler32(uLong adler, const Bytef *buf, uInt len) {
  if (!buf) return 1;
  const uint32_t kBase = 65521;
  uint32_t a = adler & 0xFFFF, b = (adler >> 16) & 0xFFFF;
  while (len > 0) {
    uInt n = len < 5552 ? len : 5552;  // the longest run before the sums can overflow
    len -= n;
    for (; n > 0; --n) {
      a += *buf++;
      b += a;
    }
    a %= kBase;
    b %= kBase;
  }
  return (static_cast<uLong>(b) << 16) | a;
}

// Strong random bytes: CryptGenRandom on Windows, /dev/urandom elsewhere.
#include "random_source.h"

#include "messages.h"

#ifdef _WIN32
#include <windows.h>
#include <wincrypt.h>

RandomSource::~RandomSource() {
  if (acquired_) CryptReleaseContext(static_cast<HCRYPTPROV>(provider_), 0);
}

bool RandomSource::open() {
  if (acquired_) return true;
  HCRYPTPROV provider = 0;
  if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT)) {
    report("cannot open the system's random generator (error %lu)", static_cast<unsigned long>(GetLastError()));
    return false;
  }
  provider_ = provider;
  acquired_ = true;
  return true;
}

bool RandomSource::fill(unsigned char *out, size_t count) {
  while (count > 0) {
    DWORD chunk = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
    if (!acquired_ || !CryptGenRandom(static_cast<HCRYPTPROV>(provider_), chunk, out)) {
      report("the system's random generator failed");
      return false;
    }
    out += chunk;
    count -= chunk;
  }
  return true;
}
#else
#include <cstdio>

RandomSource::~RandomSource() {
  if (stream_) fclose(static_cast<FILE *>(stream_));
}

bool RandomSource::open() {
  if (stream_) return true;
  stream_ = fopen("/dev/urandom", "rb");
  if (!stream_) {
    report("cannot open /dev/urandom");
    return false;
  }
  return true;
}

bool RandomSource::fill(unsigned char *out, size_t count) {
  if (!stream_ || fread(out, 1, count, static_cast<FILE *>(stream_)) != count) {
    report("cannot read random bytes from /dev/urandom");
    return false;
  }
  return true;
}
#endif

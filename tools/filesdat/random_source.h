// Strong random bytes for the mask blocks: the system's cryptographic generator.
#pragma once

#include <cstddef>

class RandomSource {
 public:
  RandomSource() = default;
  ~RandomSource();
  RandomSource(const RandomSource &) = delete;
  RandomSource &operator=(const RandomSource &) = delete;

  // Opens the generator. Reports and returns false when it is not available.
  bool open();
  // Fills out with count random bytes. Reports and returns false on failure.
  bool fill(unsigned char *out, size_t count);

 private:
#ifdef _WIN32
  unsigned long long provider_ = 0;  // HCRYPTPROV
  bool acquired_ = false;
#else
  void *stream_ = nullptr;  // FILE* on /dev/urandom
#endif
};

// The two block buffers (data and mask) that packing and unpacking a member need, freed on destruction.
#pragma once

#include <cstddef>
#include <cstdlib>

struct BlockBuffers {
  unsigned char *data = nullptr;
  unsigned char *mask = nullptr;

  BlockBuffers() = default;
  ~BlockBuffers() {
    free(data);
    free(mask);
  }
  BlockBuffers(const BlockBuffers &) = delete;
  BlockBuffers &operator=(const BlockBuffers &) = delete;

  // Two separate buffers of size bytes each (never one of 2 * size, which could wrap).
  bool allocate(size_t size) {
    free(data);
    free(mask);
    data = static_cast<unsigned char *>(malloc(size ? size : 1));
    mask = static_cast<unsigned char *>(malloc(size ? size : 1));
    return data && mask;
  }
};

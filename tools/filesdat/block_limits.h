// Block sizes the packer offers; the entry layout itself is files_dat_format.h, shared with setup.
#pragma once

#include <cstdint>

// The largest block the packer chooses by itself; -b may ask for up to kMaxBlockSize.
const uint32_t kDefaultBlockSize = 65536;
// Two blocks of this size are held in memory while packing or unpacking a member.
const uint32_t kMaxBlockSize = 16u * 1024 * 1024;

// The block size fitted to a member of size bytes: as few blocks of at most kDefaultBlockSize as
// the member needs, all of one size, so that its last block pads by fewer bytes than it has
// blocks. A member then takes at most twice its size plus two bytes per block.
inline uint32_t fitted_block_size(uint64_t size) {
  if (size == 0) return 1;
  uint64_t blocks = (size + kDefaultBlockSize - 1) / kDefaultBlockSize;
  return static_cast<uint32_t>((size + blocks - 1) / blocks);
}

// Block sizes the packer offers; the entry layout itself is files_dat_format.h, shared with setup.
#pragma once

#include <cstdint>

const uint32_t kDefaultBlockSize = 65536;
// Two blocks of this size are held in memory while packing or unpacking a member.
const uint32_t kMaxBlockSize = 16u * 1024 * 1024;

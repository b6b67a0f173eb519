// Packing members into LZMA groups (layout: files_dat_format.h) with Debian's LZMA encoder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "files_dat_format.h"

// The content a group holds by default, and the limits of --group-size. Larger groups make smaller
// archives (on the benchmark's real payload 4 MB groups gave 0.198 of the payload, 8 MB 0.162,
// 16 MB 0.147, 32 MB 0.139) but a member read alone (by a hook) may have to wait for the decoding
// of its whole group.
const uint32_t kDefaultGroupSize = 16u << 20;
const uint32_t kMinGroupSize = 4096;
const uint32_t kMaxGroupSize = 64u << 20;

// A member of a group: the file it is read from, its length when it was planned, and its entry,
// which pack_group fills in (block size 0, checksum, size and the offset of its slot).
struct GroupMember {
  std::string source;
  uint64_t length;
  files_dat::Entry *entry;
};

// The largest dictionary the packer uses: what setup needs in memory to read a group. Within groups
// of 8 or 16 MB, 8 MB of dictionary made archives only 0.5-1% smaller than 4 MB.
const uint32_t kPackerDictionary = 4u << 20;

// The dictionary for a group of length bytes packed with group_size: as large as the group, at most
// group_size (so that a smaller group size also bounds the memory setup needs, even for a member
// larger than a group) and at most kPackerDictionary; at least 4 KiB, the decoder's least.
uint32_t group_dictionary(uint64_t length, uint32_t group_size);

// Writes the members, in order, as one group at position of out (the archive's path for
// messages): header, slots, stream, with the dictionary group_dictionary gives. *span receives
// the bytes written. False (reported) when a source cannot be read or has changed its length
// since it was planned, or the archive cannot be written.
bool pack_group(const std::vector<GroupMember> &members, uint32_t group_size, FILE *out, const std::string &archive,
                uint64_t position, uint64_t *span);

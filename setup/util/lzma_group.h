// LzmaGroupReader: members of the LZMA groups of files.dat (layout: sdk/files_dat_format.h),
// decoded through Debian's LZMA decoder. Plain C++ without system headers: the packer's list,
// verify and extract read groups with the same code as setup.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sdk/files_dat_format.h"

// Where a reader takes the archive's bytes from.
class ArchiveSource {
 public:
  // 1 when all size bytes at offset (from the archive's start) were read into out.
  virtual int ReadAt(uint64_t offset, void *out, size_t size) = 0;

 protected:
  ~ArchiveSource() {}
};

struct GroupDecoder;

// One member at a time: Begin checks the member's slot and its group (header and whole slot
// table, once per group) and decodes up to the member's first byte; Next hands out its content.
// The decoder stays between members, so members taken in the order they were packed decode
// each group once; a member that lies before the decoded position starts its group again. What
// was found damaged is remembered, so a damaged group is not decoded again for each member. A
// reader serves one archive until Release. Memory:
// the group's dictionary (at most files_dat::kMaxGroupDictionary bytes), about 30 KB of
// probabilities and a 64 KB input buffer, held until Release. One thread at a time.
class LzmaGroupReader {
 public:
  // Largest piece Next hands out.
  static const size_t kPiece = 65536;

  LzmaGroupReader();
  ~LzmaGroupReader();
  LzmaGroupReader(const LzmaGroupReader &) = delete;
  LzmaGroupReader &operator=(const LzmaGroupReader &) = delete;

  // Starts the member of entry, whose data_offset holds a group slot, in an archive of
  // archive_length bytes. 1 when its slot and group are sound and the stream decoded up to the
  // member; 0 when the member is damaged (nothing of it has been handed out).
  int Begin(ArchiveSource *source, uint64_t archive_length, const files_dat::Entry &entry);
  // The member's next piece, valid until the next call: 1 and *n > 0; 1 and *n = 0 once the member
  // is whole (it gives the entry's checksum and, as its group's last member, its stream ended
  // with it); 0 when it is damaged.
  int Next(const unsigned char **data, size_t *n);
  // Frees the decoder; the next Begin starts afresh.
  void Release();
  // What made the last Begin or Next fail, as words about the member ("its group is cut
  // short"), or null.
  const char *damage() const { return damage_; }

 private:
  enum GroupState { kNoGroup, kBadGroup, kOpenGroup };
  int open_group(uint32_t group_offset);
  int check_slots();
  void restart();
  int decode(uint32_t until, size_t *produced);
  int finish_stream();
  int refill();
  int fail(const char *why);
  int out_of_memory();
  int stream_failed(const char *why, int64_t from);

  GroupDecoder *decoder_;
  ArchiveSource *source_;
  uint64_t archive_length_;
  unsigned char *input_;
  size_t input_used_, input_length_;
  // The group at group_offset_: kOpenGroup once its header and table were found sound (decoder_
  // is set up for it), kBadGroup when they were not.
  GroupState group_;
  uint32_t group_offset_;
  files_dat::GroupHeader header_;
  bool stream_ok_;          // the decoder can go on from decoded_
  uint32_t stream_read_;    // stream bytes read from the archive
  uint32_t decoded_;        // bytes of the group decoded so far
  int64_t damaged_from_;    // members ending past this position cannot be decoded
  bool end_checked_;        // the stream was seen to end exactly at the group's length
  bool member_open_;
  uint32_t member_end_;
  uint32_t member_crc_, expected_crc_;
  const char *damage_;
};

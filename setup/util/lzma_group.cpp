// Reading members of LZMA groups: the group's checks, then its stream decoded piece by piece
// into the decoder's dictionary, from which the member's bytes are handed out.
#include "util/lzma_group.h"

#include <zlib.h>

#include <cstdlib>

#include "LzmaDec.h"

namespace {

const size_t kInput = 65536;
const int64_t kNoDamage = INT64_MAX;

void *lzma_alloc(void *, size_t size) { return malloc(size); }
void lzma_free(void *, void *block) { free(block); }
ISzAlloc g_lzma_memory = {lzma_alloc, lzma_free};

}  // namespace

// The decoder's state, kept out of the header so that its users need not see the decoder's.
struct GroupDecoder {
  CLzmaDec state;
};

LzmaGroupReader::LzmaGroupReader()
    : decoder_(nullptr),
      source_(nullptr),
      archive_length_(0),
      input_(nullptr),
      input_used_(0),
      input_length_(0),
      group_(kNoGroup),
      group_offset_(0),
      header_(),
      stream_ok_(false),
      stream_read_(0),
      decoded_(0),
      damaged_from_(kNoDamage),
      end_checked_(false),
      member_open_(false),
      member_end_(0),
      member_crc_(0),
      expected_crc_(0),
      damage_(nullptr) {}

LzmaGroupReader::~LzmaGroupReader() { Release(); }

void LzmaGroupReader::Release() {
  if (decoder_) {
    LzmaDec_Free(&decoder_->state, &g_lzma_memory);
    free(decoder_);
  }
  free(input_);
  decoder_ = nullptr;
  input_ = nullptr;
  group_ = kNoGroup;
  member_open_ = false;
}

int LzmaGroupReader::fail(const char *why) {
  damage_ = why;
  return 0;
}

// The group may be read once memory is found: it is not remembered as damaged.
int LzmaGroupReader::out_of_memory() {
  group_ = kNoGroup;
  return fail("it cannot be read: out of memory");
}

int LzmaGroupReader::Begin(ArchiveSource *source, uint64_t archive_length, const files_dat::Entry &entry) {
  damage_ = nullptr;
  member_open_ = false;
  source_ = source;
  archive_length_ = archive_length;
  unsigned char raw[files_dat::kGroupSlotSize];
  files_dat::GroupSlot slot;
  if (!source->ReadAt(entry.data_offset, raw, sizeof raw)) return fail("its slot lies past the end of the archive");
  files_dat::decode_group_slot(raw, &slot);
  if (slot.marker != files_dat::kGroupSlotMarker) return fail("its slot is damaged");
  if (group_ == kNoGroup || slot.group_offset != group_offset_) open_group(slot.group_offset);
  if (group_ != kOpenGroup) return fail(damage_ ? damage_ : "its group is damaged");
  uint32_t index = 0;
  if (!files_dat::group_slot_index(group_offset_, header_.count, entry.data_offset, &index))
    return fail("it points between the slots of its group");
  if (slot.size != entry.size) return fail("its size differs from its slot's");
  // The slot was read with the table when the group was opened: its offset and size are sound.
  uint32_t end = slot.member_offset + slot.size;
  if (static_cast<int64_t>(end) > damaged_from_) return fail("it lies where its group's stream is damaged");
  if (!stream_ok_ || slot.member_offset < decoded_) restart();
  size_t skipped = 0;
  while (decoded_ < slot.member_offset)
    if (!decode(slot.member_offset, &skipped)) return 0;
  member_open_ = true;
  member_end_ = end;
  member_crc_ = 0;
  expected_crc_ = entry.reserved;
  return 1;
}

// Reads and checks the group's header and slot table, then sets the decoder up for its stream.
// A group found damaged stays so: its members fail without reading it again.
int LzmaGroupReader::open_group(uint32_t group_offset) {
  group_ = kBadGroup;
  group_offset_ = group_offset;
  unsigned char raw[files_dat::kGroupHeaderSize];
  if (!source_->ReadAt(group_offset, raw, sizeof raw)) return fail("its group lies past the end of the archive");
  files_dat::decode_group_header(raw, &header_);
  if (const char *why = files_dat::group_header_damage(header_, group_offset, archive_length_)) return fail(why);
  if (!input_) input_ = static_cast<unsigned char *>(malloc(kInput));
  if (!input_) return out_of_memory();
  if (!check_slots()) return 0;
  if (!decoder_) {
    decoder_ = static_cast<GroupDecoder *>(malloc(sizeof(GroupDecoder)));
    if (!decoder_) return out_of_memory();
    LzmaDec_Construct(&decoder_->state);
  }
  // The dictionary is allocated anew only when its size differs from the last group's.
  SRes result = LzmaDec_Allocate(&decoder_->state, header_.properties, files_dat::kLzmaPropertiesSize, &g_lzma_memory);
  if (result != SZ_OK) return out_of_memory();
  group_ = kOpenGroup;
  damaged_from_ = kNoDamage;
  end_checked_ = false;
  restart();
  return 1;
}

// Every slot of the table, read through the input buffer: each follows the one before it without
// overlap or gap, and together they give the group's length.
int LzmaGroupReader::check_slots() {
  uint64_t offset = 0, at = files_dat::group_slots_at(group_offset_);
  const size_t per_read = kInput / files_dat::kGroupSlotSize;
  for (uint32_t done = 0; done < header_.count;) {
    size_t n = header_.count - done < per_read ? header_.count - done : per_read;
    if (!source_->ReadAt(at, input_, n * files_dat::kGroupSlotSize))
      return fail("its group's slots lie past the end of the archive");
    for (size_t i = 0; i < n; ++i) {
      files_dat::GroupSlot slot;
      files_dat::decode_group_slot(input_ + i * files_dat::kGroupSlotSize, &slot);
      const char *why = files_dat::group_slot_damage(slot, group_offset_, offset, header_.length);
      if (why) return fail(why);
      offset += slot.size;
    }
    done += static_cast<uint32_t>(n);
    at += n * files_dat::kGroupSlotSize;
  }
  input_used_ = input_length_ = 0;  // the buffer no longer holds stream bytes
  stream_ok_ = false;
  return offset == header_.length ? 1 : fail("its group decodes to more than its members' sizes");
}

// Back to the start of the group's stream.
void LzmaGroupReader::restart() {
  LzmaDec_Init(&decoder_->state);
  stream_ok_ = true;
  stream_read_ = 0;
  input_used_ = input_length_ = 0;
  decoded_ = 0;
}

// The next piece of the stream from the archive into the input buffer.
int LzmaGroupReader::refill() {
  uint32_t left = header_.stream_length - stream_read_;
  size_t n = left < kInput ? left : kInput;
  uint64_t at = files_dat::group_stream_at(group_offset_, header_.count) + stream_read_;
  if (n == 0 || !source_->ReadAt(at, input_, n)) return 0;
  stream_read_ += static_cast<uint32_t>(n);
  input_used_ = 0;
  input_length_ = n;
  return 1;
}

// Members that end past from cannot be read: decoding the same bytes again fails the same way.
int LzmaGroupReader::stream_failed(const char *why, int64_t from) {
  if (from < damaged_from_) damaged_from_ = from;
  stream_ok_ = false;
  return fail(why);
}

// Decodes one piece, of at most kPiece bytes and never past until (a position in the group), into
// the dictionary; *produced receives its length. 0 when the stream is not valid data, ends early
// or is cut short.
int LzmaGroupReader::decode(uint32_t until, size_t *produced) {
  CLzmaDec *state = &decoder_->state;
  if (state->dicPos == state->dicBufSize) state->dicPos = 0;
  size_t start = state->dicPos, want = until - decoded_;
  if (want > kPiece) want = kPiece;
  if (want > state->dicBufSize - start) want = state->dicBufSize - start;
  while (state->dicPos < start + want) {
    if (input_used_ == input_length_ && stream_read_ < header_.stream_length && !refill())
      return stream_failed("its group cannot be read", decoded_);
    SizeT length = input_length_ - input_used_;
    ELzmaStatus status;
    SRes result = LzmaDec_DecodeToDic(state, start + want, input_ + input_used_, &length, LZMA_FINISH_ANY, &status);
    input_used_ += length;
    if (result != SZ_OK) return stream_failed("its group's stream is not valid LZMA data", decoded_);
    if (state->dicPos == start + want) break;
    // Short of the limit the decoder stops only for more input or at an end marker.
    if (status != LZMA_STATUS_NEEDS_MORE_INPUT || input_used_ < input_length_)
      return stream_failed("its group's stream ends before its length", decoded_);
    if (stream_read_ == header_.stream_length) return stream_failed("its group's stream is cut short", decoded_);
  }
  *produced = state->dicPos - start;
  decoded_ += static_cast<uint32_t>(*produced);
  return 1;
}

// At the group's length: the stream must end there, with or without an end marker, and every
// byte of it must have been used.
int LzmaGroupReader::finish_stream() {
  CLzmaDec *state = &decoder_->state;
  for (;;) {
    if (input_used_ == input_length_ && stream_read_ < header_.stream_length && !refill()) break;
    SizeT length = input_length_ - input_used_;
    ELzmaStatus status;
    SRes result = LzmaDec_DecodeToDic(state, state->dicPos, input_ + input_used_, &length, LZMA_FINISH_END, &status);
    input_used_ += length;
    bool ended = status == LZMA_STATUS_FINISHED_WITH_MARK || status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK;
    bool all_used = input_used_ == input_length_ && stream_read_ == header_.stream_length;
    if (result == SZ_OK && ended && all_used) {
      end_checked_ = true;
      return 1;
    }
    if (result != SZ_OK || ended || status != LZMA_STATUS_NEEDS_MORE_INPUT || all_used) break;
  }
  return stream_failed("its group's stream decodes past its members' sizes or runs on past its end",
                       static_cast<int64_t>(header_.length) - 1);
}

int LzmaGroupReader::Next(const unsigned char **data, size_t *n) {
  *n = 0;
  if (!member_open_) return fail(damage_ ? damage_ : "it was not started");
  if (decoded_ < member_end_) {
    if (!stream_ok_ || !decode(member_end_, n)) {
      member_open_ = false;
      return fail(damage_ ? damage_ : "its group's stream is damaged");
    }
    *data = decoder_->state.dic + decoder_->state.dicPos - *n;
    member_crc_ = static_cast<uint32_t>(crc32(member_crc_, *data, static_cast<uInt>(*n)));
    return 1;
  }
  if (member_end_ == header_.length && !end_checked_ && !(stream_ok_ && finish_stream())) {
    member_open_ = false;
    return 0;
  }
  if (expected_crc_ != 0 && expected_crc_ != member_crc_) return fail("its content does not match its checksum");
  return 1;
}

// Test archives in the files.dat layout.
#include "support/files_dat_writer.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "LzmaEnc.h"

namespace {

// A small linear congruential generator: repeatable, and good enough to make masks non-trivial.
class Pattern {
 public:
  explicit Pattern(uint32_t seed) : state_(seed ^ 0x9E3779B9u) {}
  char next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<char>(state_ >> 24);
  }

 private:
  uint32_t state_;
};

std::string member_blocks(const FilesDatMember &member, Pattern *pattern) {
  std::string out;
  const size_t block = member.block_size;
  for (size_t done = 0; done < member.bytes.size(); done += block) {
    std::string data(block, '\0'), mask(block, '\0');
    for (size_t i = 0; i < block; ++i) {
      mask[i] = pattern->next();
      if (mask[i] == 0) mask[i] = 0x5A;
      char plain = done + i < member.bytes.size() ? member.bytes[done + i] : pattern->next();
      data[i] = static_cast<char>(plain ^ mask[i]);
    }
    out += data;
    out += mask;
  }
  return out;
}

}  // namespace

uint32_t files_dat_field(const std::string &archive, size_t index, size_t field) {
  const unsigned char *at = reinterpret_cast<const unsigned char *>(archive.data()) + index * kFilesDatEntrySize + field;
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}

void set_files_dat_field(std::string *archive, size_t index, size_t field, uint32_t value) {
  size_t at = index * kFilesDatEntrySize + field;
  for (int i = 0; i < 4; ++i) (*archive)[at + i] = static_cast<char>(value >> (8 * i));
}

std::string make_files_dat(const std::vector<FilesDatMember> &members, bool terminated) {
  std::string out((members.size() + (terminated ? 1 : 0)) * kFilesDatEntrySize, '\0');
  Pattern pattern(static_cast<uint32_t>(members.size()));
  for (size_t m = 0; m < members.size(); ++m) {
    const FilesDatMember &member = members[m];
    memcpy(&out[m * kFilesDatEntrySize], member.name.data(), member.name.size() < 260 ? member.name.size() : 260);
    set_files_dat_field(&out, m, kFilesDatBlockSizeField, member.block_size);
    set_files_dat_field(&out, m, kFilesDatSizeField, static_cast<uint32_t>(member.bytes.size()));
    set_files_dat_field(&out, m, kFilesDatOffsetField, static_cast<uint32_t>(out.size()));
    if (member.compressed) {
      const Bytef *bytes = reinterpret_cast<const Bytef *>(member.bytes.data());
      set_files_dat_field(&out, m, kFilesDatBlockSizeField, 0);
      set_files_dat_field(&out, m, kFilesDatReservedField,
                          static_cast<uint32_t>(crc32(0, bytes, static_cast<uInt>(member.bytes.size()))));
      out += compressed_member(member.bytes);
    } else if (member.block_size > 0) {
      out += member_blocks(member, &pattern);
    }
  }
  return out;
}

std::string compressed_member(const std::string &bytes) {
  z_stream z = {};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
  std::string stream(deflateBound(&z, static_cast<uLong>(bytes.size())), '\0');
  z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef *>(&stream[0]);
  z.avail_out = static_cast<uInt>(stream.size());
  deflate(&z, Z_FINISH);
  stream.resize(z.total_out);
  deflateEnd(&z);
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(stream.size() >> (8 * i));
  return out + stream;
}

namespace {

void *lzma_alloc(void *, size_t size) { return malloc(size); }
void lzma_free(void *, void *block) { free(block); }

void put32(std::string *out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(value >> (8 * i)));
}

// The raw LZMA stream of bytes; *properties receives its five property bytes.
std::string lzma_stream(const std::string &bytes, uint32_t dictionary, bool end_marker, std::string *properties) {
  ISzAlloc memory = {lzma_alloc, lzma_free};
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.dictSize = dictionary;
  props.numThreads = 1;
  std::string stream(bytes.size() + bytes.size() / 2 + 4096, '\0');
  SizeT length = stream.size(), property_length = 5;
  unsigned char raw[5];
  LzmaEncode(reinterpret_cast<Byte *>(&stream[0]), &length, reinterpret_cast<const Byte *>(bytes.data()), bytes.size(),
             &props, raw, &property_length, end_marker ? 1 : 0, nullptr, &memory, &memory);
  properties->assign(reinterpret_cast<char *>(raw), 5);
  stream.resize(length);
  return stream;
}

}  // namespace

std::string make_lzma_files_dat(const std::vector<std::vector<FilesDatMember>> &groups, uint32_t dictionary,
                                bool end_marker) {
  std::vector<FilesDatMember> all;
  for (const auto &group : groups) all.insert(all.end(), group.begin(), group.end());
  std::string out = make_files_dat(std::vector<FilesDatMember>(all.size(), FilesDatMember{"", "", 0}));
  size_t entry = 0;
  for (const auto &group : groups) {
    uint32_t at = static_cast<uint32_t>(out.size()), offset = 0;
    std::string content, properties, slots;
    for (const FilesDatMember &member : group) {
      memcpy(&out[entry * kFilesDatEntrySize], member.name.data(), member.name.size());
      const Bytef *bytes = reinterpret_cast<const Bytef *>(member.bytes.data());
      uLong crc = crc32(0, bytes, static_cast<uInt>(member.bytes.size()));
      set_files_dat_field(&out, entry, kFilesDatReservedField, static_cast<uint32_t>(crc));
      set_files_dat_field(&out, entry, kFilesDatSizeField, static_cast<uint32_t>(member.bytes.size()));
      set_files_dat_field(&out, entry++, kFilesDatOffsetField, static_cast<uint32_t>(at + 24 + slots.size()));
      for (uint32_t value : {0xFFFFFFFFu, at, offset, static_cast<uint32_t>(member.bytes.size())}) put32(&slots, value);
      offset += static_cast<uint32_t>(member.bytes.size());
      content += member.bytes;
    }
    std::string stream = lzma_stream(content, dictionary, end_marker, &properties);
    out += "LZG1";
    for (uint32_t value : {static_cast<uint32_t>(group.size()), offset, static_cast<uint32_t>(stream.size())})
      put32(&out, value);
    out += properties + std::string(3, '\0') + slots + stream;
  }
  return out;
}

std::string pattern_bytes(size_t n, uint32_t seed) {
  Pattern pattern(seed);
  std::string out(n, '\0');
  for (char &c : out) c = pattern.next();
  return out;
}

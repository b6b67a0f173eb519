// Reading a member's content: data XOR mask, block pair by block pair, its inflated stream, or its
// part of a decoded LZMA group, checked against the checksum its entry stores.
#pragma once

#include <cstdio>
#include <string>

#include "files_dat_format.h"
#include "util/lzma_group.h"

// Reads the members of one archive. Members of an LZMA group read in the order they were packed
// decode the group once.
class MemberUnpacker {
 public:
  MemberUnpacker(FILE *archive, const std::string &archive_path);
  MemberUnpacker(const MemberUnpacker &) = delete;
  MemberUnpacker &operator=(const MemberUnpacker &) = delete;

  // Reads the member (its data must lie inside the archive) and writes its content to out, or
  // only checks it when out is null. False (reported) when it cannot be read or written, or when
  // its content does not give the stored checksum.
  bool unpack(const files_dat::Entry &entry, FILE *out, const std::string &target);

 private:
  class Source : public ArchiveSource {
   public:
    FILE *file = nullptr;
    int ReadAt(uint64_t offset, void *out, size_t size) override;
  };
  bool unpack_blocks(const files_dat::Entry &entry, FILE *out, const std::string &target);
  bool unpack_group(const files_dat::Entry &entry, FILE *out, const std::string &target);

  FILE *archive_;
  std::string path_;
  uint64_t length_;
  bool length_known_;
  Source source_;
  LzmaGroupReader groups_;
};

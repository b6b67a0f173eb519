// MemberReader: the content of a files.dat member in any of its forms (block pairs, deflate,
// LZMA group; sdk/files_dat_format.h), handed to a sink piece by piece and checked whole.
#pragma once

#include <cstdint>

#include "sdk/files_dat_format.h"
#include "util/lzma_group.h"
#include "util/member_sink.h"
#include "win_file.h"

// Reading a member is two steps: Begin checks where the member lies (and, in an LZMA group,
// decodes its group up to the member), before anything of it is handed out, so that a caller can
// leave its destination untouched when that fails; ReadTo then hands the content to a sink.
// Between members the reader keeps the LZMA decoder, so members read in the order they were
// packed decode each group once (LzmaGroupReader). A reader serves one archive (one WinFile)
// until Release, and one thread at a time: a thread that decodes beside another opens the
// archive a second time, with its own reader. The sink must not use the archive's WinFile.
class MemberReader {
 public:
  MemberReader();
  MemberReader(const MemberReader &) = delete;
  MemberReader &operator=(const MemberReader &) = delete;

  // Starts the member of entry in archive (archive_length bytes). 1 when it can be read; 0 when
  // it is damaged: its data lies outside the archive, or its group's checks fail.
  int Begin(WinFile *archive, uint64_t archive_length, const files_dat::Entry &entry);
  // Hands the member begun to sink, at most 64 KB a piece. 1 when the member came whole, with
  // exactly its size and checksum; 0 when it is damaged, the archive cannot be read or the sink
  // stopped. Nothing beyond the member's size is handed out; a piece is never taken back, so a
  // sink that writes a file removes it on 0.
  int ReadTo(MemberSink *sink);
  // Frees the LZMA decoder's memory.
  void Release() { groups_.Release(); }

 private:
  enum Form { kNone, kBlocks, kDeflate, kGroup };
  int read_blocks(MemberSink *sink);

  // Reads of an LZMA group through the archive's WinFile.
  class Source : public ArchiveSource {
   public:
    WinFile *file = nullptr;
    int ReadAt(uint64_t offset, void *out, size_t size) override;
  };

  Form form_;
  files_dat::Entry entry_;
  WinFile *archive_;
  uint64_t data_at_;        // block pairs or deflate stream
  uint32_t stream_length_;  // of a deflate member
  Source source_;
  LzmaGroupReader groups_;
};

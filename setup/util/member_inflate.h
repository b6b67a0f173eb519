// Inflating a compressed member of files.dat (its layout: sdk/files_dat_format.h).
#pragma once

#include <cstdint>

#include "sdk/files_dat_format.h"
#include "win_file.h"

// Reads the compressed member's length field and leaves the archive at its stream. 1 and
// *stream_length set when the field and the stream lie wholly inside the archive (archive_length
// bytes long); 0 otherwise.
int find_compressed_stream(WinFile *archive, uint64_t archive_length, const files_dat::Entry &entry,
                           uint32_t *stream_length);
// Inflates the stream_length bytes at the archive's position into destination. 1 when they
// inflate to exactly entry.size bytes, end where the stream ends and give the stored checksum; 0
// otherwise. Never writes more than entry.size bytes, nor reads past the stream.
int inflate_member(WinFile *archive, uint32_t stream_length, const files_dat::Entry &entry, WinFile *destination);

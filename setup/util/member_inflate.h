// Inflating a compressed member of files.dat (its layout: sdk/files_dat_format.h).
#pragma once

#include <cstdint>

#include "sdk/files_dat_format.h"
#include "util/member_sink.h"
#include "win_file.h"

// Inflates the stream_length bytes at the archive's position into sink. 1 when they inflate to
// exactly entry.size bytes, end where the stream ends and give the stored checksum; 0 otherwise,
// also when the sink stops. Never hands out more than entry.size bytes, nor reads past the stream.
int inflate_member(WinFile *archive, uint32_t stream_length, const files_dat::Entry &entry, MemberSink *sink);

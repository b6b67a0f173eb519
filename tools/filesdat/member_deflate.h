// Compressed members: deflating a file into the archive and inflating a member back out.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "files_dat_format.h"

// Deflates source (from its current position to its end) into out at position as a compressed
// member: the length field, then the raw deflate stream. Gives 1 when it came out smaller than
// limit bytes (*span receives its bytes, field included, *size and *crc the content's length and
// checksum); -1 when it would not, having written no more than limit bytes at position; 0
// (reported) when the source cannot be read, the archive cannot be written, or the content reaches
// 4 GiB.
int deflate_member(FILE *source, const std::string &source_path, FILE *out, const std::string &archive,
                   uint64_t position, uint64_t limit, uint64_t *span, uint32_t *size, uint32_t *crc);
// Whether deflate at its fastest makes source (read from its start) smaller by at least 1/32:
// content that does not shrink so (pictures, archives, media) gains nothing in an LZMA group but
// takes many times longer to decode there. False when it cannot be read (the packing reports that).
bool deflate_shrinks(FILE *source);
// Inflates the compressed member of archive (archive_length bytes) into out, or only checks it
// when out is null. False (reported) when its stream is damaged, cut short, lies outside the
// archive, does not give exactly entry.size bytes or not the stored checksum.
bool inflate_member(FILE *archive, uint64_t archive_length, const files_dat::Entry &entry, FILE *out,
                    const std::string &archive_path, const std::string &target);

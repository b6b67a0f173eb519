// Reading a member's content: data XOR mask, block pair by block pair, or its inflated stream,
// checked against the checksum its entry stores.
#pragma once

#include <cstdio>
#include <string>

#include "files_dat_format.h"

// Reads the member from archive (its blocks must lie inside the file) and writes its content to
// out, or only checks it when out is null. False (reported) when it cannot be read or written,
// or when its content does not give the stored checksum.
bool unpack_member(FILE *archive, const files_dat::Entry &entry, FILE *out, const std::string &archive_path,
                   const std::string &target);

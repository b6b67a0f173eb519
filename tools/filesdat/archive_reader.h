// Reading and checking the directory of an existing files.dat.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "files_dat_format.h"

struct Directory {
  uint64_t length = 0;  // size of the archive in bytes
  uint64_t end = 0;     // first byte after the directory, terminator included
  bool terminated = false;
  std::vector<files_dat::Entry> entries;
  std::string damage;  // what is wrong with the directory itself; "" when nothing
};

// Opens path for binary reading. Reports and returns null on failure.
FILE *open_archive(const std::string &path);

// Reads the entries from offset 0 up to the terminator entry or the end of the file. Damage to
// the directory (a cut-off entry, entries running into member data) ends the reading and is
// described in dir->damage. False (reported) only when the archive cannot be read at all.
bool read_directory(FILE *archive, const std::string &path, Directory *dir);

// What is wrong with one entry, "" when it can be extracted: unterminated name, data outside the
// archive or over the directory (a compressed member's stream is checked when it is read).
std::string entry_damage(const Directory &dir, const files_dat::Entry &entry);

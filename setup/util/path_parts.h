// PathParts: a private copy of a path and the ends of its leading parts, for the utilities
// that walk a path level by level (validate_path, create_path).
#pragma once

#include <windows.h>

#include <cstddef>

// One entry per backslash after the first character, plus one for the whole path.
enum { PATH_PART_LIMIT = 128 };

struct PathParts {
  char text[MAX_PATH];            // the caller's path, copied; the caller's string is never cut
  size_t ends[PATH_PART_LIMIT];  // length of each leading part, outermost first
  int count;                      // entries in ends; the last is the whole path
};

// Splits path into parts. Backslashes are found character by character in the active code
// page, so the second byte of a double-byte character is never taken for one. Returns 0 for
// a null path, a path of MAX_PATH characters or more (the ANSI file functions cannot take
// it), or one with more than PATH_PART_LIMIT - 1 backslashes after its first character.
int split_path(const char *path, PathParts *parts);

// Copies leading part index of parts into out (MAX_PATH bytes).
void path_part(const PathParts *parts, int index, char *out);

// The directory part of path (without its last backslash) into out (size bytes); 0 when path has
// no backslash or the part does not fit.
int parent_dir(const char *path, char *out, size_t size);

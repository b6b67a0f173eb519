// What lies at a path: a file or a folder (one attribute lookup each).
#pragma once

// A file (not a folder) exists at path.
bool is_regular_file(const char *path);
// A folder exists at path.
bool is_directory(const char *path);

// What lies at a path (a file or a folder, one attribute lookup each), and names that stay in one folder.
#pragma once

// A file (not a folder) exists at path.
bool is_regular_file(const char *path);
// A folder exists at path.
bool is_directory(const char *path);
// name names a file in a folder itself: not empty, no folder or drive part ("\", "/", ":"), and
// neither "." nor "..".
bool is_plain_file_name(const char *name);

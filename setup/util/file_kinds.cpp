// What lies at a path, and names that stay in one folder.
#include "util/file_kinds.h"

#include <windows.h>

#include <cstring>

bool is_regular_file(const char *path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_directory(const char *path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool is_plain_file_name(const char *name) {
  return name && name[0] && name[strcspn(name, "\\/:")] == 0 && strcmp(name, ".") != 0 && strcmp(name, "..") != 0;
}

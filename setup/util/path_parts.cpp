// Splitting a path into its leading parts at each backslash, double-byte aware.
#include "util/path_parts.h"

#include <cstring>

int split_path(const char *path, PathParts *parts) {
  if (!path || !parts) return 0;
  size_t length = strlen(path);
  if (length >= MAX_PATH) return 0;
  memcpy(parts->text, path, length + 1);
  int count = 0;
  size_t i = 0;
  while (i < length) {
    unsigned char c = static_cast<unsigned char>(path[i]);
    if (IsDBCSLeadByte(c) && i + 1 < length) {
      i += 2;
      continue;
    }
    if (c == '\\' && i > 0) {
      if (count == PATH_PART_LIMIT - 1) return 0;
      parts->ends[count++] = i;
    }
    ++i;
  }
  parts->ends[count++] = length;
  parts->count = count;
  return 1;
}

void path_part(const PathParts *parts, int index, char *out) {
  size_t end = parts->ends[index];
  memcpy(out, parts->text, end);
  out[end] = 0;
}

int parent_dir(const char *path, char *out, size_t size) {
  const char *last = strrchr(path, '\\');
  if (!last || static_cast<size_t>(last - path) >= size) return 0;
  memcpy(out, path, static_cast<size_t>(last - path));
  out[last - path] = 0;
  return 1;
}

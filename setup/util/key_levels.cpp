// Walking the levels of a registry key path.
#include "util/key_levels.h"

#include <cstring>

#include "sdk/reg_key.h"
#include "util/root_keys.h"

namespace {

// The first `count` levels of path ("A\B" for 2), copied into out (MAX_PATH bytes).
void level_of(const char *path, int count, char *out) {
  size_t end = 0;
  for (int seen = 0; path[end]; ++end)
    if (path[end] == '\\' && ++seen == count) break;
  memcpy(out, path, end);
  out[end] = 0;
}

bool key_exists(HKEY root, const char *path) {
  kRegKey key;
  return key.Open(root, path) == 1;
}

}  // namespace

int existing_key_levels(HKEY root, const char *path) {
  if (!key_levels_are_named(path)) return -1;
  int count = key_level_count(path);
  char level[MAX_PATH];
  for (int i = 1; i <= count; ++i) {
    level_of(path, i, level);
    if (!key_exists(root, level)) return i - 1;
  }
  return count;
}

void each_created_level(HKEY root, const char *path, int existing, void (*each)(const char *level, void *context),
                        void *context) {
  if (existing < 0 || !key_levels_are_named(path)) return;
  int count = key_level_count(path);
  char level[MAX_PATH];
  for (int i = existing + 1; i <= count; ++i) {
    level_of(path, i, level);
    if (!key_exists(root, level)) return;  // the creation stopped above this level
    each(level, context);
  }
}

// Created registry keys: which levels of a key path exist before it is created, and recording the
// levels the creation added and the values written into them.
#include "install/created_keys.h"

#include <cstring>

#include "install/uninstall_record.h"
#include "sdk/reg_key.h"
#include "util/bounded_text.h"
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

// A key as the record names it: "<abbreviation>\<path>".
String recorded_name(const char *abbreviation, const char *path) {
  String name = abbreviation;
  name.append("\\");
  name.append(path);
  return name;
}

// True when this installation recorded root\path (given as "<abbreviation>\<path>") as created.
bool created_here(const SetupInfo *info, const char *name) {
  for (const UninstallInfo &item : info->uninstall_items)
    if (item.kind == RECORD_CREATED_KEY && ascii_compare_nocase(item.value.c_str(), name) == 0) return true;
  return false;
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

namespace {

struct RecordTarget {
  SetupInfo *info;
  const char *abbreviation;
};

void record_level(const char *level, void *context) {
  const RecordTarget *target = static_cast<const RecordTarget *>(context);
  record_created_key(target->info, recorded_name(target->abbreviation, level).c_str());
}

}  // namespace

void record_created_levels(SetupInfo *info, HKEY root, const char *path, int existing) {
  RecordTarget target = {info, root_abbreviation(root)};
  if (target.abbreviation) each_created_level(root, path, existing, record_level, &target);
}

void record_written_value(SetupInfo *info, HKEY root, const char *path, const char *name) {
  const char *abbreviation = root_abbreviation(root);
  if (!abbreviation) return;
  String text = recorded_name(abbreviation, path);
  bool created = created_here(info, text.c_str());
  text.append(",");
  text.append(name);
  if (created) {
    record_key(info, text.c_str());
  } else {
    record_value(info, text.c_str());
  }
}

// create_path: makes every missing level of a directory path, outermost first, and can
// enter each level it made in the uninstall record.
#include "util/file_kinds.h"
#include "install/rollback_journal.h"
#include "install/uninstall_record.h"
#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/path_parts.h"

namespace {

// Creates one level. A level that is already a directory by the time it is reached (the
// same folder written twice, as in "C:\a\\b" or a trailing backslash) counts as present
// and is not recorded again. A failure keeps CreateDirectoryA's error for the caller.
int create_level(SetupInfo *info, const char *level, int record) {
  if (!CreateDirectoryA(level, nullptr)) {
    DWORD error = GetLastError();
    if (is_directory(level)) return 1;
    SetLastError(error);
    return 0;
  }
  journal_dir_created(level);
  log_line("directory: %s", level);
  if (record && info) record_dir(info, level);
  return 1;
}

}  // namespace

// On failure GetLastError tells why: the path cannot be split into levels, a level exists as a
// file (the error CreateDirectoryA gives for it), or the system's error for the level it refused.
int create_path(SetupInfo *info, const char *path, int record) {
  PathParts parts;
  if (!split_path(path, &parts)) {
    SetLastError(ERROR_BAD_PATHNAME);
    return 0;
  }
  bool missing[PATH_PART_LIMIT];
  char level[MAX_PATH];
  for (int i = 0; i < parts.count; ++i) {
    path_part(&parts, i, level);
    DWORD attributes = GetFileAttributesA(level);
    missing[i] = attributes == INVALID_FILE_ATTRIBUTES;
    if (!missing[i] && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      SetLastError(ERROR_ALREADY_EXISTS);
      return 0;
    }
  }
  for (int i = 0; i < parts.count; ++i) {
    if (!missing[i]) continue;
    path_part(&parts, i, level);
    if (!create_level(info, level, record)) return 0;
  }
  return 1;
}

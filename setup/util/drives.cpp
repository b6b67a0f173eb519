// Drive roots: the first fixed disk, the disk that holds Program Files, the root of a path.
#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"

namespace {

// "X:\" with a letter and a backslash: the only form a drive root can take.
int is_drive_root(const char *text) {
  char letter = text[0];
  int is_letter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
  return is_letter && text[1] == ':' && text[2] == '\\';
}

}  // namespace

// Letters A to Y are tried in order; Z: never is.
int find_first_drive(char *out) {
  for (char letter = 'A'; letter <= 'Y'; ++letter) {
    char root[4] = {letter, ':', '\\', 0};
    if (GetDriveTypeA(root) == DRIVE_FIXED) return copy_text(out, MAX_PATH, root);
  }
  return 0;
}

// Only the drive root of the value is handed back; the caller appends the folder name.
// A value that does not start with a drive root (a network path, an unexpanded variable)
// gives 0, so the caller falls back instead of building a path on a broken root.
int find_program_files(char *out) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", 0, KEY_QUERY_VALUE,
                    &handle) != ERROR_SUCCESS)
    return 0;
  kRegKey key;
  key.sethandle(handle);
  char value[MAX_PATH];
  if (!key.GetString("ProgramFilesDir", value, sizeof value)) return 0;
  if (!is_drive_root(value)) return 0;
  get_drive_path(value, out);
  return 1;
}

void get_drive_path(const char *path, char *out) {
  if (!path || !out || lstrlenA(path) <= 2) return;
  out[0] = path[0];
  out[1] = path[1];
  out[2] = path[2];
  out[3] = 0;
}

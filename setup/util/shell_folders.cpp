// Where the shell keeps its folders: special folder locations and the Start menu's Programs.
#include <shlobj.h>

#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"

namespace {

// The shell's item lists come from its own allocator (on Windows 95 it is not COM's).
void free_id_list(LPITEMIDLIST list) {
  IMalloc *allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
    allocator->Free(list);
    allocator->Release();
  }
}

// Reads a text value through a key opened for reading only; 0 when key or value is missing.
int read_text_value(HKEY root, const char *subkey, const char *name, char *value, unsigned long capacity) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return 0;
  kRegKey key;
  key.sethandle(handle);
  return key.GetString(name, value, capacity);
}

}  // namespace

void GetSpecialFolderch(int folder, char *out) {
  if (!out) return;
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, folder, &list)) || !list) return;
  char path[MAX_PATH];
  path[0] = 0;
  if (SHGetPathFromIDListA(list, path) && path[0]) copy_text(out, MAX_PATH, path);
  free_id_list(list);
}

void get_win95_startpath(char *out) {
  if (!out) return;
  char path[MAX_PATH];
  path[0] = 0;
  GetSpecialFolderch(CSIDL_PROGRAMS, path);
  copy_text(out, MAX_PATH, path);
}

// Windows 95 and 98 keep a per-user Programs folder; NT installs for all users.
int get_programs_path(char *out) {
  if (!out) return 1;
  const char *subkey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  char path[MAX_PATH];
  int found = is_this_win95() ? read_text_value(HKEY_CURRENT_USER, subkey, "Programs", path, sizeof path)
                              : read_text_value(HKEY_LOCAL_MACHINE, subkey, "Common Programs", path, sizeof path);
  if (!found) path[0] = 0;
  copy_text(out, MAX_PATH, path);
  return 1;
}

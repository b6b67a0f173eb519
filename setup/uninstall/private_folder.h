// A folder of setup's own inside the shared temporary folder: created fresh for one run under a
// name nobody could have picked before, so that nothing another account placed in the temporary
// folder is ever run, loaded or copied over. On Windows NT only the running account, the
// administrators and the system may open it.
#pragma once

#include <windows.h>

#include <cstddef>

// Creates the folder and writes its path (no trailing backslash) to out. 0 (out untouched) with
// the system's reason in GetLastError when no new folder could be made.
int create_private_folder(char *out, size_t size);
// 1 when folder is one that create_private_folder makes: a "zindle-" folder directly inside the
// temporary folder.
int is_private_folder(const char *folder);
// Copies source into folder under name; the name must be new there. 0, or the system's error.
DWORD copy_into_folder(const char *source, const char *folder, const char *name);
// Deletes the folder's files and the folder itself; what is still in use (the running program
// and its libraries) is deleted at the next restart. Does nothing to a folder that
// is_private_folder does not accept.
void remove_private_folder(const char *folder);

// Registry writes of the install steps: each key created and each value written is entered in the
// rollback journal first and logged. Results as kRegKey's: 1 done, 0 not.
#pragma once

#include <windows.h>

#include "sdk/reg_key.h"

// Creates (or opens) root\path into key, journaling the levels it created.
int journaled_create_key(kRegKey *key, HKEY root, const char *path);
// Writes one value of root\path, open as key.
int journaled_set_string(kRegKey *key, HKEY root, const char *path, const char *name, const char *text);
int journaled_set_dword(kRegKey *key, HKEY root, const char *path, const char *name, unsigned long number);

// What a run of one product could have changed: the only entries that an undo of a journal found
// on disk acts on. Everything else in such a journal was not written by a run of this product
// (or not by setup at all) and is never obeyed.
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"

// A file or folder the product's run could have made or replaced: at or below its install folder,
// its Start-menu folders or the directories its script declares (when such a directory is not a
// drive root or the Windows or system folder), or exactly one of its files or shortcuts. Only
// plain drive paths count: no relative, device or network path, no "." or ".." component.
bool scope_has_path(const SetupInfo *info, const char *path);
// A registry key the product's run could have created (ancestors of its keys too when
// created_level is true) or a value it could have written (name given): the maker's key, the
// product's Add/Remove Programs entry, its associations' keys, and the script's entries.
bool scope_has_key(const SetupInfo *info, HKEY root, const char *key, bool created_level);
bool scope_has_value(const SetupInfo *info, HKEY root, const char *key, const char *name);

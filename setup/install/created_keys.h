// Registry keys the installation creates on the way to the values it writes. Each level of a key
// path that did not exist before is entered in the uninstall record, so that the uninstaller
// removes it again once it is empty and never removes a key that was there before.
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"

// How many leading levels of root\path exist ("A", "A\B", ...); call it before creating the key.
// -1 when the path cannot be taken apart: empty, 260 characters or longer, or with an empty level
// (a leading, trailing or doubled backslash).
int existing_key_levels(HKEY root, const char *path);

// After root\path was created: calls each(level, context) for each level beyond the first
// `existing` that exists now, outermost first. Nothing for -1 or a path without named levels.
void each_created_level(HKEY root, const char *path, int existing, void (*each)(const char *level, void *context),
                        void *context);

// After root\path was created: records "<root abbreviation>\<level>" for each level beyond the
// first `existing` that exists now, outermost first. Nothing for -1 or a root the record cannot
// name.
void record_created_levels(SetupInfo *info, HKEY root, const char *path, int existing);

// Records a value written into root\path: as a registry-value item when this installation
// created the key (uninstallers of earlier versions delete such a key whole, which is then
// right), otherwise as a value in a key that existed before, of which only the value goes.
void record_written_value(SetupInfo *info, HKEY root, const char *path, const char *name);

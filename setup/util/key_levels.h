// The levels of a registry key path ("A", "A\B", ...): which of them exist before the key is
// created, and which the creation added.
#pragma once

#include <windows.h>

// How many leading levels of root\path exist; call it before creating the key. -1 when the path
// cannot be taken apart: empty, 260 characters or longer, or with an empty level (a leading,
// trailing or doubled backslash).
int existing_key_levels(HKEY root, const char *path);

// After root\path was created: calls each(level, context) for each level beyond the first
// `existing` that exists now, outermost first. Nothing for -1 or a path without named levels.
void each_created_level(HKEY root, const char *path, int existing, void (*each)(const char *level, void *context),
                        void *context);

// Registry roots as setup stores them: 32-bit numbers in SetupRegEntry, four-letter
// abbreviations in the uninstall record, full names in the install script.
#pragma once

#include <windows.h>

#include <cstdint>

HKEY hkey_from_root(int32_t root);  // null for 0
int32_t root_from_hkey(HKEY key);
// "HKEY_LOCAL_MACHINE" etc., ASCII case ignored; 0 when the name is none of the four.
int32_t root_from_script_name(const char *name);
// "HKLM", "HKCU", "HKCR", "HKUS"; null for any other key.
const char *root_abbreviation(HKEY key);
// The abbreviation for the log and the journal file; "?" for a root without one.
const char *root_text(HKEY key);
// The root for an abbreviation (ASCII case ignored); null when it is none of the four.
HKEY root_from_abbreviation(const char *abbreviation);

// A key path whose levels can be told apart: not null or empty, shorter than MAX_PATH, and no
// leading, trailing or doubled backslash (which would address the root or a parent instead).
bool key_levels_are_named(const char *path);
// The number of levels of a key path: its backslashes and one.
int key_level_count(const char *path);

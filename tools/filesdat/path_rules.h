// How setup treats the paths of a script: the faults of a path taken relative to a folder, the
// %1/%2/%3 folder codes, and the rules the directory page applies to an install folder.
#pragma once

#include <cstddef>
#include <string>

// Characters setup's validate_text refuses, and those no Windows file name may hold.
extern const char kRefusedBySetup[];
extern const char kRefusedByWindows[];
// True when c is one of the characters of refused.
bool is_refused(char c, const char *refused);

// The longest a path may be for the ANSI file functions setup uses.
const size_t kMaxPathLength = 259;

// Typical folders for estimating the length of a path on the target system.
extern const char kTypicalWindowsDir[];
extern const char kTypicalSystemDir[];
extern const char kTypicalProgramsDir[];

// The first fault of path, which setup puts below some folder: empty, control characters,
// absolute, a drive or stream colon, a refused character, a part that climbs out ("..") or names
// a device, or a %n code that is not expanded there. "" when there is none.
std::string relative_path_fault(const std::string &path, const char *refused);

// Offset of the first "%" followed by a digit at or after from; npos when none.
size_t digit_code(const std::string &text, size_t from);

// Why the directory page would not accept folder as the install folder; "" when it would (as far
// as can be told without the target system's drives).
std::string install_folder_fault(const std::string &folder);

// Both texts the same, or the first a parent folder of the second (letter case ignored).
bool same_or_parent(const std::string &parent, const std::string &path);

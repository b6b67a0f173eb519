// Member names: from a packer argument to the stored form, and from a stored name (untrusted) to
// a path that stays inside the output folder.
#pragma once

#include <string>

// The stored form of a name given relative to the source folder: separators become backslashes,
// "." and empty parts are dropped. False and *why set when the name cannot be stored (absolute,
// drive letter, "..", control characters, empty, longer than 259 bytes).
bool stored_name_for(const std::string &given, std::string *stored, std::string *why);

// The path relative to the output folder that a stored name extracts to, with this system's
// separators. False and *why set when the name could leave that folder.
bool output_path_for(const std::string &stored, std::string *relative, std::string *why);

// Names compare as setup compares them: letters A-Z without regard to case.
bool same_name(const std::string &a, const std::string &b);
// name with A-Z turned to a-z: equal for names that same_name finds the same.
std::string folded_name(std::string name);

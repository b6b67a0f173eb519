// The numbered items of a script section, read as setup reads them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "ini_reader.h"

// "dir" and 2 give "dir2", the key setup asks for.
std::string item_key(const char *stem, unsigned long n);

// The present values of the keys stem%lu for n from 0 to the section's total - 1, in that order,
// with their numbers.
std::vector<std::pair<unsigned long, std::string>> item_values(const IniFile &script, const char *section,
                                                               const char *stem);

// The present filesrc%lu values of [FILES] in item order, each name once (letter case ignored;
// the first spelling is kept): the files to pack.
std::vector<std::string> script_source_names(const IniFile &script);

// The four commands of filesdat. Each returns the process exit status (0 success, 1 failure)
// and reports every failure on stderr.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes a new archive holding the named files (names relative to source_dir). Nothing is left
// under the archive's name unless the whole archive was written.
int run_create(const std::string &archive, const std::string &source_dir, uint32_t block_size,
               const std::vector<std::string> &names);
// Prints size and name of every member.
int run_list(const std::string &archive);
// Checks the directory and every entry; prints a summary, or the damage found.
int run_verify(const std::string &archive);
// Writes the named members (all when names is empty) below output_dir. Members whose names would
// leave output_dir are refused.
int run_extract(const std::string &archive, const std::string &output_dir, const std::vector<std::string> &names);

// Portable file helpers of filesdat: 64-bit positions, kinds of paths, folders and replacing a file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#ifdef _WIN32
const char kSeparator = '\\';
#else
const char kSeparator = '/';
#endif

// Stream positions beyond 2 GiB (the archive's offsets go up to 4 GiB).
bool seek_to(FILE *file, uint64_t offset);
bool stream_length(FILE *file, uint64_t *length);

bool is_regular_file(const std::string &path);
bool is_directory(const std::string &path);
bool path_exists(const std::string &path);

// Creates path and every missing folder above it. True when path is a folder afterwards.
bool make_dirs(const std::string &path);
// Renames source to target, replacing an existing target. Sets errno on failure.
bool replace_file(const std::string &source, const std::string &target);
// Creates path exclusively (fails when anything exists under that name) for binary writing.
FILE *create_new_file(const std::string &path);

// dir + separator + relative; relative alone when dir is empty.
std::string join_path(const std::string &dir, const std::string &relative);
// The folder part of path, "" when it has none.
std::string parent_of(const std::string &path);
// Text of the current errno.
std::string error_text();
// A number that differs between concurrently running processes (for temporary names).
unsigned long process_id();
// True when a process of that id runs (or may: one this user cannot look at counts as running).
bool process_running(unsigned long pid);
// The folder that holds the running program ("" when it cannot be told).
std::string program_folder(const char *argv0);

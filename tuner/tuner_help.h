// The tuner's help page, "Help\index.htm" beside the program, opened through the shell.
#pragma once

#include <cstddef>

// Forms the help file's path from the program's path: the directory up to and including its
// last backslash, then "\Help\index.htm" (the doubled separator is accepted by the shell).
// 1 when it fit into out (capacity bytes); 0 and out untouched when the path has no directory
// or the result would not fit.
int help_file_path(const char *module_path, char *out, size_t capacity);

// Opens the help page maximized with its associated program; failures are not reported.
void open_help();

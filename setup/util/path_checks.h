// Names in a path that Windows refuses to create.
#pragma once

#include <cstddef>

// 1 when a folder or file name of path is one Windows will not create: a colon anywhere but after
// the drive letter, a name ending in a dot or blank, or a device name (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, with or without an extension). The first such name goes to out (size bytes, cut to fit;
// out may be null). 0 when every name can be made.
int first_refused_name(const char *path, char *out, size_t size);

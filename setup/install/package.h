// package.dat: the dependency package written into the install directory and unpacked by the
// first uninstall stage. Entries: '^', a 260-byte name, a 32-bit size, the bytes; then '%'.
#pragma once

#include <cstdio>

#include "script/setup_info.h"

int write_package(SetupInfo *info);                        // 1 written, 0 cannot be created
int add_package_member(FILE *package, const char *name);  // 1 appended, 0 unreadable or no memory
int extract_package(const char *install_dir, const char *target_dir);  // 1 unpacked, 0 not opened

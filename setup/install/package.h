// package.dat: the dependency package written into the install directory and unpacked by the
// first uninstall stage. Entries: '^', a 260-byte name, a 32-bit size, the bytes; then '%'.
#pragma once

#include "install/change_writer.h"
#include "win_file.h"

// Writes <install_dir>\package.dat holding every dependency that can be read, then the terminator.
// 1 written; 0 when it cannot be created or not every byte reached the disk.
int write_package(ChangeWriter *writer);
// Appends one whole entry, tag included, for the named file. 1 appended; 0 (nothing written) when
// the file cannot be read, its name does not fit the name field or memory is short.
int add_package_member(WinFile *package, const char *name);
// Unpacks <install_dir>\package.dat into target_dir and schedules each unpacked file for deletion
// at restart. Member names that would leave target_dir, or name a folder in it, are skipped. 1 when
// the whole package was read up to its terminator; 0 when it cannot be opened or is damaged (what
// came before stays); -1 when a member could not be written into target_dir.
int extract_package(const char *install_dir, const char *target_dir);

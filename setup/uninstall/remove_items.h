// Removal of the items of the uninstall record, and deletion of files at the next restart.
#pragma once

#include "sdk/setup_api.h"
#include "sdk/setup_info.h"

int remove_files(SetupInfo *info);
int remove_associations(SetupInfo *info);
int remove_directories(SetupInfo *info);
// Deletes every recorded value, then the keys of the registry-value items and the keys the
// installation created, deepest first, each only once nothing is left in it; the keys on the
// record's own path are passed over while it is there. Always 0.
int remove_registry_keys(SetupInfo *info);
// After the record is deleted: those keys on its path, in the same way. Always 0.
int remove_keys_holding_record(SetupInfo *info);
// Splits key_path at its last backslash: parent gets the text before it, subkey the text after.
// 1 on success; 0 (outputs untouched) when there is no backslash or a part does not fit.
int split_key_path(const char *key_path, char *parent, unsigned long parent_size, char *subkey,
                   unsigned long subkey_size);

// Adds "NUL=<path>" as the first line of the [Rename] section of <windows_dir>\WinInit.Ini, making
// the section (at the end of the file) and the file when missing. 1 when the entry was written.
int add_wininit_rename(const char *windows_dir, const char *path);

// Removal of the items of the uninstall record, and deletion of files at the next restart.
#pragma once

#include "script/setup_info.h"
#include "util/exports.h"

int remove_files(SetupInfo *info);
int remove_associations(SetupInfo *info);
int remove_directories(SetupInfo *info);
int remove_registry_keys(SetupInfo *info);
int split_key_path(const char *key_path, char *parent, unsigned long parent_size, char *subkey,
                   unsigned long subkey_size);

// Schedules path for deletion at the next restart (MoveFileEx on NT, WinInit.Ini on 95/98).
SETUP_API void mark_file_for_deletion(const char *path);

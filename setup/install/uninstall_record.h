// The uninstall record: every item the installation creates, kept in SetupInfo while installing
// and stored under HKLM\Software\Quorvane\<product>\uninstall at the end.
#pragma once

#include "script/setup_info.h"

int record_file(SetupInfo *info, const char *path);
int record_key(SetupInfo *info, const char *text);  // "HKLM\key\path,value name"
int record_dir(SetupInfo *info, const char *path);
int record_assoc(SetupInfo *info, const char *extension, const char *program);

int write_uninstall_record(SetupInfo *info);  // 0, or -1 when the key cannot be created
int read_uninstall_record(SetupInfo *info);   // 0; reads into uninstall_items, deletes the registry copy
// 0 and the value copied into buffer (size bytes) when the item exists; -1 otherwise.
int find_uninstall_item(SetupInfo *info, int kind, int index, char *buffer, unsigned long size);

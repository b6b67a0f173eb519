// The uninstall record: every item the installation creates, kept in SetupInfo while installing
// and stored under HKLM\Software\Quorvane\<product>\uninstall at the end.
#pragma once

#include "sdk/setup_info.h"

// Each appends one item numbered by its kind's process-wide counter; all return 0.
int record_file(SetupInfo *info, const char *path);
int record_key(SetupInfo *info, const char *text);  // "HKLM\key\path,value name"
int record_dir(SetupInfo *info, const char *path);
int record_assoc(SetupInfo *info, const char *extension, const char *program);  // "ext,program"

// 0, or -1 when the key cannot be created (also for an empty product name or one with a backslash).
int write_uninstall_record(SetupInfo *info);
// Reads the record into uninstall_items and the four totals, then deletes the registry copy.
// A missing total reads as 0; a missing or unreadable numbered text gives no item. Returns 0.
int read_uninstall_record(SetupInfo *info);
// 0 and the value copied into buffer (size bytes) when the item exists and fits; -1 otherwise.
int find_uninstall_item(SetupInfo *info, int kind, int index, char *buffer, unsigned long size);

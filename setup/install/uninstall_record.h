// The uninstall record: every item the installation creates, kept in SetupInfo while installing
// and stored under HKLM\Software\Quorvane\<product>\uninstall at the end.
#pragma once

#include "sdk/setup_info.h"

// RECORD_VALUE and RECORD_CREATED_KEY items (only the value is removed again; a created key once
// it is empty) are not read by uninstallers of earlier versions.

// Each appends one item, numbered within info's record by its kind: the first item of a kind is
// 0. The four SDK kinds keep their count in the uninstall_*_total fields, which therefore tell
// how many items of the kind the record holds while installing as well. All return 0.
int record_file(SetupInfo *info, const char *path);
int record_key(SetupInfo *info, const char *text);  // "HKLM\key\path,value name", key created here
int record_dir(SetupInfo *info, const char *path);
int record_assoc(SetupInfo *info, const char *extension, const char *program);  // "ext,program"
int record_value(SetupInfo *info, const char *text);        // "HKLM\key\path,value name", key was there
int record_created_key(SetupInfo *info, const char *text);  // "HKLM\key\path"

// Writes the record's items under the product's key; the levels of that key the writing creates
// are recorded first, so that the uninstaller removes them again once they are empty.
// 0, or -1 when the key cannot be created (also for an empty product name or one with a backslash);
// the key and the system's reason are then noted for the install sequence to show.
int write_uninstall_record(SetupInfo *info);
// Reads the record into uninstall_items (and the four SDK kinds' totals), then deletes the
// registry copy. A missing total reads as 0; a missing or unreadable numbered text gives no item.
// Returns 0.
int read_uninstall_record(SetupInfo *info);
// 0 and the value copied into buffer (size bytes) when the item exists and fits; -1 otherwise.
int find_uninstall_item(SetupInfo *info, int kind, int index, char *buffer, unsigned long size);

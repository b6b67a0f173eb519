// The Start-menu step: one shell shortcut per STARTMENU ENTRIES item in the Programs folder.
#pragma once

#include "script/setup_info.h"
#include "script/setup_string.h"

// The built-in pair of the special folder rule (shared with the Start-menu page): a product name
// and the longer folder name used in its place. Both are empty, which disables the rule.
extern const char kSpecialProductName[];
extern const char kSpecialFolderName[];

// For each item (on a copy): the special folder rule, the "%1" uninstall shortcut, then
// create_shortcut. Always 0.
int create_start_menu_entries(SetupInfo *info);

// Creates the item's shortcut "<Programs>\<path>\<name>.lnk" to install_dir\[work\]prog and
// records the folder levels it creates, the folder itself and the shortcut file. When the
// Programs folder cannot be read from the registry, or path or name would leave it, nothing is
// created or recorded and the reason goes to the debugger output. Always 0.
int create_shortcut(SetupInfo *info, const SetupStartMenu &item);

// The Programs folder that receives the shortcuts: the all-users folder on Windows NT, the
// default user's on Windows 95 and 98. 1 and out (260 bytes) filled; 0 and out untouched when
// the registry does not hold it.
int read_programs_folder(char *out);

// first := the text before the first backslash (all of it when there is none);
// rest := the text from that backslash on (empty when there is none).
void split_folder_name(const char *folder, String *first, String *rest);

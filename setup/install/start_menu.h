// The Start-menu step: one shell shortcut per STARTMENU ENTRIES item in the Programs folder.
#pragma once

#include "install/change_writer.h"

// For each item (on a copy): the special folder rule, the "%1" uninstall shortcut, then
// create_shortcut. Always 0.
int create_start_menu_entries(ChangeWriter *writer);

// Creates the item's shortcut "<Programs>\<path>\<name>.lnk" to install_dir\[work\]prog and
// records the folder levels it creates, the folder itself and the shortcut file. When the
// Programs folder cannot be read from the registry, or path or name would leave it, nothing is
// created or recorded and the reason goes to the debugger output. Always 0.
int create_shortcut(ChangeWriter *writer, const SetupStartMenu &item);

// The Programs folder that receives the shortcuts: the all-users folder on Windows NT, the
// default user's on Windows 95 and 98. 1 and out (260 bytes) filled; 0 and out untouched when
// the registry does not hold it.
int read_programs_folder(char *out);

// The copy step: puts every FILES entry, then setup.exe and dsetup.dll, into place.
#pragma once

#include "sdk/dispatch_table.h"
#include "install/change_writer.h"
#include "sdk/setup_info.h"
#include "sdk/setup_string.h"

// Full path for a destination value of DIRECTORIES or FILES: "%1" the Windows directory,
// "%2" the system directory, "%3" the drive root of install_dir, anything else below install_dir.
// 1 and *out set; 0 and *out untouched for a '%' followed by any other character, an install_dir
// too short to have a drive root (for "%3") or empty (for a relative value).
int resolve_destination(SetupInfo *info, const char *value, String *out);

// Installs one file: the loose file source_dir\source_name when it exists, else the files.dat
// member of that name. Calls CopyFileBefore, then CopyFileFailed on failure, then CopyFileAfter.
// Enters the file in the uninstall record when it was put in place: by setup, or by the
// CopyFileFailed hook answering 0 (a file there afterwards that was not there before the copy).
// 0 to go on; the hook's result when a hook stops the copy stage.
int copy_one_file(ChangeWriter *writer, SetupDispatchTable *table, const char *source_name, const char *dest_value);

// The whole copy step with the progress window. 0, or -1 after closing the progress window when a
// file stopped the stage; the main window is then asked to close: at once, or, given
// close_main_window, by setting it for the caller to do once it has told the user (closing the
// main window ends the message loop, and with it any message box shown afterwards). -1 with the
// failure noted for the install sequence to show when the progress window cannot open.
int copy_files(ChangeWriter *writer, SetupDispatchTable *table, bool *close_main_window = nullptr);

// The copy progress window: one modeless dialog (3005) with a file name and a progress bar.
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"

// Opens the dialog from info's resource library, else from setup itself, owned by parent.
// 0 on success, -1 when neither module yields the dialog. An already open window is closed first.
int progress_open(HWND parent, SetupInfo *info);
void progress_set_title(const char *text);
void progress_set_file(const char *text);
// Range 0..n of the bar; n is taken as 16 bits.
void progress_set_range(unsigned long n);
void progress_set_pos(unsigned long pos);
void progress_close();
// The open progress window, or null.
HWND progress_window();

// The one message with which setup tells the user why a run cannot go on.
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"

// Shows string id (the product's resource library first, then setup), its %s slots filled with
// subject (a path or key), then a blank line and the system's own text for error (none for 0).
// One message box under the caption string 2028 ("Setup Failed"): warning icon, OK, brought to
// the foreground and topmost; owner may be null.
void show_failure(SetupInfo *info, HWND owner, int id, const char *subject, DWORD error);

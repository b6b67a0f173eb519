// Message boxes of setup. Every box goes through g_message_box, so that test programs can
// answer boxes without a person (they replace the pointer with a recorder).
#pragma once

#include <windows.h>

typedef int(WINAPI *MessageBoxFn)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern MessageBoxFn g_message_box;

// A fatal start-up message: no owner, default caption, warning icon, foreground and topmost.
void show_fatal_message(const char *text);
// The system's description of error (at most 259 characters) under caption, OK button only.
void show_system_error(DWORD error, const char *caption);

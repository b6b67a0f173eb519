// Message boxes of setup. Every box goes through g_message_box, so that test programs can
// answer boxes without a person (they replace the pointer with a recorder).
#pragma once

#include <windows.h>

#include <cstddef>

typedef int(WINAPI *MessageBoxFn)(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
extern MessageBoxFn g_message_box;

// Stands in for the message box in a silent run: writes the box to the log and gives its default
// answer, except that a Retry is never chosen (nobody could change what failed in between).
int WINAPI answer_message_box_silently(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// A fatal start-up message: no owner, default caption, warning icon, foreground and topmost.
void show_fatal_message(const char *text);
// The system's description of error (at most 259 characters) under caption, OK button only.
void show_system_error(DWORD error, const char *caption);
// The same for a file that could not be used: the file's name, then the system's description with
// its inserts ("%1") filled in with that name.
void show_file_error(DWORD error, const char *file, const char *caption);

// The system's text for error, without its trailing line break. 1 when there is one that fits
// size bytes; 0 and out untouched otherwise (also for error 0).
int system_error_text(DWORD error, char *out, size_t size);
// The same with every insert of the system's text filled in with subject.
int system_error_text_about(DWORD error, const char *subject, char *out, size_t size);

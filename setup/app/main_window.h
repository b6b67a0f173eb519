// setup's full-screen main window: paints the background colour and bitmap and, half a second
// after it appears, runs the wizard; when the wizard returns it destroys itself.
#pragma once

#include <windows.h>

#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"

extern const char kMainWindowClass[];  // "zindlesetup"

int register_main_window_class(HINSTANCE instance);  // 1 registered, 0 failed
// Creates the hidden window for info (stored in info->main_window). 1 on success, 0 on failure.
int create_main_window(HINSTANCE instance, SetupInfo *info, SetupDispatchTable *table);
// The result run_wizard gave on the timer tick; 1 (cancelled) when it never ran.
int main_window_wizard_result();

// Painting helpers, also used by the window procedure.
void fill_background(HWND window, COLORREF color);
void draw_background_bitmap(HWND window, const SetupInfo *info);

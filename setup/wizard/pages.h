// The wizard's dialog pages. Each procedure takes the SetupInfo as its creation parameter and
// ends its dialog with 1 (forward), 4 (Back) or 2 (Cancel confirmed / closed).
#pragma once

#include <windows.h>

#include "sdk/setup_info.h"

INT_PTR CALLBACK welcome_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);     // 3000
INT_PTR CALLBACK license_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);     // 3001
INT_PTR CALLBACK directory_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);   // 3002
INT_PTR CALLBACK start_menu_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);  // 3003
INT_PTR CALLBACK ready_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);       // 3004
INT_PTR CALLBACK complete_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);    // 3006
INT_PTR CALLBACK previous_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);    // 3007

// Asks string 2019 under caption 2020 (Yes/No). 1 when the user confirms leaving setup.
int confirm_cancel(SetupInfo *info);
// 1 when path is a usable install directory: an acceptable path on a drive with room enough. With
// a dialog, the space needed and available for path's drive is shown in it (controls 303, 304).
int directory_is_usable(const char *path, SetupInfo *info, HWND dialog = nullptr);
// The Directory page's Next: path (changed in place) without a trailing backslash or blanks
// becomes install_dir.
void take_directory(SetupInfo *info, char *path);
// The Start-menu page's Next: folder becomes the Start-menu folder of every shortcut.
void take_start_menu_folder(SetupInfo *info, const char *folder);
// Adds every folder below programs_folder (not starting with '.') to list 302.
void fill_folder_list(HWND dialog, const char *programs_folder);

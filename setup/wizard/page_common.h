// Behaviour shared by the wizard pages: the kept SetupInfo, the side picture, centring,
// the focus on the forward button, Back, Cancel with its question, and text formatting.
#pragma once

#include <windows.h>

#include <cstddef>

#include "sdk/setup_info.h"

// What a page's Cancel and Back do (or-ed into page_command's flags).
enum {
  PAGE_ASKS_BEFORE_CANCEL = 1,  // Cancel and close ask confirm_cancel first
  PAGE_HAS_BACK = 2,            // command 4 ends the page with 4
};

// Shows bitmap 4500 (resource library first, then setup) in picture control 300; the dialog
// owns it until release_side_bitmap takes it out of the control and deletes it.
void show_side_bitmap(HWND dialog, SetupInfo *info);
void release_side_bitmap(HWND dialog);

// WM_INITDIALOG work common to all dialogs: keeps the DialogData (the creation parameter that
// run_dialog passes) in the dialog's user data, centres the dialog on the screen and brings it
// forward, and shows bitmap 4500 (resource library first, then setup) in control 300. The dialog
// owns that bitmap until page_end or its destruction deletes it. Returns the data's SetupInfo.
SetupInfo *page_begin(HWND dialog, LPARAM creation_param);

// The SetupInfo of the DialogData kept by page_begin; null before it ran.
SetupInfo *page_info(HWND dialog);

// Puts the keyboard focus on the forward button (1), or leaves it to the dialog's first control
// while that button is disabled; returns what WM_INITDIALOG is to return.
INT_PTR page_focus_forward(HWND dialog);

// Deletes the page's side bitmap and ends the page with code.
void page_end(HWND dialog, int code);

// The forward button (1) ends with 1, Back (4) with 4 when the page has it, Cancel (2) with 2
// after confirm_cancel when the page asks. TRUE when id was one of those commands (even when the
// user then chose to stay), FALSE for every other id.
INT_PTR page_command(HWND dialog, WORD id, int flags);

// Messages every page treats alike: the close command behaves as Cancel; destruction releases
// the side bitmap should the page go away without page_end. FALSE for other messages.
INT_PTR page_default(HWND dialog, UINT message, int flags);

// Loads string id with load_res_string and shows it in control (formatted with name when name
// is not null). A string missing from both modules leaves the control's text empty.
void page_show_string(HWND dialog, int control, int id, const char *name);

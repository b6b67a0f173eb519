// Installation Complete page (3006): the closing texts; Close, Escape and the close box all end it
// at once.
#include "res/resource.h"
#include "wizard/page_common.h"
#include "wizard/pages.h"

namespace {
const int kFlags = 0;
}  // namespace

INT_PTR CALLBACK complete_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetupInfo *info = page_begin(dialog, lparam);
      if (info) {
        // 2003, 2004 and 2006 come only from a product's resource library.
        page_show_string(dialog, IDC_COMPLETE_FIRST, IDS_COMPLETE_1, nullptr);
        page_show_string(dialog, IDC_COMPLETE_SECOND, IDS_COMPLETE_2, nullptr);
        page_show_string(dialog, IDC_COMPLETE_DONE, IDS_COMPLETE_DONE, info->product_name.c_str());
        page_show_string(dialog, IDC_COMPLETE_FOURTH, IDS_COMPLETE_4, nullptr);
      }
      return page_focus_forward(dialog);
    }
    case WM_COMMAND:
      return page_command(dialog, LOWORD(wparam), kFlags);
    default:
      return page_default(dialog, message, kFlags);
  }
}

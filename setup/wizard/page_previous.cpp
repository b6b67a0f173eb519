// Previous Version Detected page (3007): Replace goes on, Cancel and the close box end at once.
#include "res/resource.h"
#include "wizard/page_common.h"
#include "wizard/pages.h"

namespace {
const int kFlags = 0;
}  // namespace

INT_PTR CALLBACK previous_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetupInfo *info = page_begin(dialog, lparam);
      if (info) page_show_string(dialog, IDC_PREVIOUS_TEXT, IDS_PREVIOUS_TEXT, info->product_name.c_str());
      return page_focus_forward(dialog);
    }
    case WM_COMMAND:
      return page_command(dialog, LOWORD(wparam), kFlags);
    default:
      return page_default(dialog, message, kFlags);
  }
}

// Ready page (3004): the summary the BeforeReadyDialog hook prepared, four label/value pairs.
#include "res/resource.h"
#include "wizard/page_common.h"
#include "wizard/pages.h"

namespace {
const int kFlags = PAGE_ASKS_BEFORE_CANCEL | PAGE_HAS_BACK;
}  // namespace

INT_PTR CALLBACK ready_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetupInfo *info = page_begin(dialog, lparam);
      for (int i = 0; info && i <= IDC_READY_LAST - IDC_READY_FIRST; ++i) {
        SetDlgItemTextA(dialog, IDC_READY_FIRST + i, info->ready_text[i].c_str());
      }
      return page_focus_forward(dialog);
    }
    case WM_COMMAND:
      return page_command(dialog, LOWORD(wparam), kFlags);
    default:
      return page_default(dialog, message, kFlags);
  }
}

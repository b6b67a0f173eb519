// Welcome page (3000): the product's greeting in the text and the window title.
#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "wizard/page_common.h"
#include "wizard/pages.h"

namespace {

const int kFlags = PAGE_ASKS_BEFORE_CANCEL;

void show_title(HWND dialog, SetupInfo *info) {
  char text[MAX_PATH] = {0}, title[MAX_PATH] = {0};
  if (!load_res_string(info, IDS_WELCOME_TITLE, text, sizeof text)) return;
  format_with_name(title, sizeof title, text, info->product_name.c_str());
  SetWindowTextA(dialog, title);
}

}  // namespace

INT_PTR CALLBACK welcome_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetupInfo *info = page_begin(dialog, lparam);
      if (info) {
        page_show_string(dialog, IDC_WELCOME_TEXT, IDS_WELCOME_TEXT, info->product_name.c_str());
        page_show_string(dialog, IDC_WELCOME_NOTE, IDS_WELCOME_NOTE, nullptr);
        show_title(dialog, info);
      }
      return page_focus_forward(dialog);
    }
    case WM_COMMAND:
      return page_command(dialog, LOWORD(wparam), kFlags);
    default:
      return page_default(dialog, message, kFlags);
  }
}

// The Uninstalling dialog (3008), which runs the removal, and the Details dialog (3009), which
// lists what could not be removed.
#include "res/resource.h"
#include "sdk/utilities.h"
#include "uninstall/uninstall_stages.h"
#include "util/bounded_text.h"
#include "wizard/page_common.h"
#include "wizard/wizard.h"

namespace {

const UINT_PTR kRemovalTimer = 1;
UninstallContext *context_of(HWND dialog) {
  return reinterpret_cast<UninstallContext *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void init_uninstall_dialog(HWND dialog, UninstallContext *context) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(context));
  SetupInfo *info = context->info;
  center_window(nullptr, dialog);
  show_side_bitmap(dialog, info);
  char format[260] = {0}, text[260] = {0};
  load_res_string(info, IDS_UNINSTALL_WAIT, format, sizeof format);
  if (!format_text(text, sizeof text, format, info->product_name.c_str())) copy_text(text, sizeof text, format);
  SetDlgItemTextA(dialog, 301, text);
  SetDlgItemTextA(dialog, 303, "");
  ShowWindow(GetDlgItem(dialog, 4), SW_HIDE);
  EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
  SetTimer(dialog, kRemovalTimer, 500, nullptr);
}

void add_failure_lines(HWND list, SetupInfo *info, const UninstallFailed &failure) {
  int id;
  const String *text;
  switch (failure.kind) {
    case FAILED_FILE:
      id = IDS_FAILED_FILE, text = &failure.file;
      break;
    case FAILED_DIR:
      id = IDS_FAILED_DIR, text = &failure.dir;
      break;
    case FAILED_KEY:
      id = IDS_FAILED_KEY, text = &failure.reg_key;
      break;
    default:
      return;
  }
  char label[260] = {0};
  load_res_string(info, id, label, sizeof label);
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label));
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text->c_str()));
}

void init_details_dialog(HWND dialog, SetupInfo *info) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(info));
  center_window(nullptr, dialog);
  show_side_bitmap(dialog, info);
  HWND list = GetDlgItem(dialog, 301);
  for (info->uninstall_failures_cursor = info->uninstall_failures.begin();
       info->uninstall_failures_cursor != info->uninstall_failures.end(); ++info->uninstall_failures_cursor)
    add_failure_lines(list, info, *info->uninstall_failures_cursor);
  SetFocus(GetDlgItem(dialog, IDOK));
}

}  // namespace

INT_PTR CALLBACK uninstall_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      init_uninstall_dialog(dialog, reinterpret_cast<UninstallContext *>(lparam));
      return FALSE;
    case WM_TIMER:
      KillTimer(dialog, kRemovalTimer);
      remove_product(context_of(dialog)->info, context_of(dialog)->table, dialog);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        page_end(dialog, 1);
      } else if (LOWORD(wparam) == 4) {
        run_dialog(dialog, IDD_DETAILS, details_dialog_proc, context_of(dialog)->info);
      }
      return TRUE;
    case WM_CLOSE:
      page_end(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK details_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      init_details_dialog(dialog, reinterpret_cast<SetupInfo *>(lparam));
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK) {
        page_end(dialog, 1);
      }
      return TRUE;
    case WM_CLOSE:
      page_end(dialog, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

// The Uninstalling dialog (3008), which runs the removal, and the Details dialog (3009), which
// lists what could not be removed.
#include "res/resource.h"
#include "sdk/utilities.h"
#include "uninstall/uninstall_stages.h"
#include "wizard/dialog_host.h"
#include "wizard/page_common.h"

namespace {

const UINT_PTR kRemovalTimer = 1;

void init_uninstall_dialog(HWND dialog, LPARAM creation_param) {
  SetupInfo *info = page_begin(dialog, creation_param);
  page_show_string(dialog, IDC_UNINSTALL_TEXT, IDS_UNINSTALL_WAIT, info->product_name.c_str());
  SetDlgItemTextA(dialog, IDC_UNINSTALL_RESULT, "");
  ShowWindow(GetDlgItem(dialog, IDC_UNINSTALL_DETAILS), SW_HIDE);
  EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
  SetTimer(dialog, kRemovalTimer, 500, nullptr);
}

// OK, Escape and the close box end the dialog once the removal is over (OK is enabled then);
// before that they are ignored, so the removal always runs.
void end_when_done(HWND dialog) {
  if (IsWindowEnabled(GetDlgItem(dialog, IDOK))) page_end(dialog, IDOK);
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

void init_details_dialog(HWND dialog, LPARAM creation_param) {
  SetupInfo *info = page_begin(dialog, creation_param);
  HWND list = GetDlgItem(dialog, IDC_DETAILS_LIST);
  for (info->uninstall_failures_cursor = info->uninstall_failures.begin();
       info->uninstall_failures_cursor != info->uninstall_failures.end(); ++info->uninstall_failures_cursor)
    add_failure_lines(list, info, *info->uninstall_failures_cursor);
  SetFocus(GetDlgItem(dialog, IDOK));
}

}  // namespace

INT_PTR CALLBACK uninstall_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      init_uninstall_dialog(dialog, lparam);
      return FALSE;
    case WM_TIMER:
      KillTimer(dialog, kRemovalTimer);
      remove_product(page_info(dialog), dialog_data(dialog)->table, dialog);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        end_when_done(dialog);
      } else if (LOWORD(wparam) == IDC_UNINSTALL_DETAILS) {
        run_dialog(dialog, IDD_DETAILS, details_dialog_proc, page_info(dialog));
      }
      return TRUE;
    case WM_CLOSE:
      end_when_done(dialog);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR CALLBACK details_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      init_details_dialog(dialog, lparam);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) page_end(dialog, IDOK);
      return TRUE;
    case WM_CLOSE:
      page_end(dialog, IDOK);
      return TRUE;
    default:
      return FALSE;
  }
}

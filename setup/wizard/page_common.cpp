// Behaviour shared by the wizard pages, and the question before leaving setup.
#include "wizard/page_common.h"

#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/messages.h"
#include "wizard/dialog_host.h"
#include "wizard/pages.h"

void show_side_bitmap(HWND dialog, SetupInfo *info) {
  HBITMAP bitmap = LoadBitmapA(info->resource_instance, MAKEINTRESOURCEA(IDB_SIDE));
  if (!bitmap) bitmap = LoadBitmapA(info->setup_instance, MAKEINTRESOURCEA(IDB_SIDE));
  if (!bitmap) return;
  LRESULT old =
      SendDlgItemMessageA(dialog, IDC_SIDE_BITMAP, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  if (old) DeleteObject(reinterpret_cast<HBITMAP>(old));
}

void release_side_bitmap(HWND dialog) {
  LRESULT old = SendDlgItemMessageA(dialog, IDC_SIDE_BITMAP, STM_SETIMAGE, IMAGE_BITMAP, 0);
  if (old) DeleteObject(reinterpret_cast<HBITMAP>(old));
}

SetupInfo *page_begin(HWND dialog, LPARAM creation_param) {
  SetWindowLongPtrA(dialog, DWLP_USER, creation_param);
  center_window(nullptr, dialog);
  SetupInfo *info = page_info(dialog);
  if (info) show_side_bitmap(dialog, info);
  return info;
}

SetupInfo *page_info(HWND dialog) {
  DialogData *data = dialog_data(dialog);
  return data ? data->info : nullptr;
}

INT_PTR page_focus_forward(HWND dialog) {
  HWND forward = GetDlgItem(dialog, IDOK);
  // A disabled button cannot take the focus: the dialog then gives it to its first control.
  if (!forward || !IsWindowEnabled(forward)) return TRUE;
  SetFocus(forward);
  return FALSE;
}

void page_end(HWND dialog, int code) {
  release_side_bitmap(dialog);
  EndDialog(dialog, code);
}

INT_PTR page_command(HWND dialog, WORD id, int flags) {
  switch (id) {
    case IDOK:
      page_end(dialog, IDOK);
      return TRUE;
    case IDC_BACK:
      if (!(flags & PAGE_HAS_BACK)) return FALSE;
      page_end(dialog, IDC_BACK);
      return TRUE;
    case IDCANCEL:
      if ((flags & PAGE_ASKS_BEFORE_CANCEL) && !confirm_cancel(page_info(dialog))) return TRUE;
      page_end(dialog, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR page_default(HWND dialog, UINT message, int flags) {
  switch (message) {
    case WM_CLOSE:
      page_command(dialog, IDCANCEL, flags);
      return TRUE;
    case WM_DESTROY:
      release_side_bitmap(dialog);
      return FALSE;
    default:
      return FALSE;
  }
}

void page_show_string(HWND dialog, int control, int id, const char *name) {
  char text[MAX_PATH] = {0}, formatted[MAX_PATH] = {0};
  if (!load_res_string(page_info(dialog), id, text, sizeof text)) text[0] = 0;
  if (name) {
    format_with_name(formatted, sizeof formatted, text, name);
  } else {
    copy_text(formatted, sizeof formatted, text);
  }
  SetDlgItemTextA(dialog, control, formatted);
}

int confirm_cancel(SetupInfo *info) {
  char question[MAX_PATH] = {0}, caption[MAX_PATH] = {0};
  if (!load_res_string(info, IDS_CANCEL_QUESTION, question, sizeof question)) question[0] = 0;
  if (!load_res_string(info, IDS_CANCEL_CAPTION, caption, sizeof caption)) caption[0] = 0;
  int answer = g_message_box(nullptr, question, caption, MB_YESNO | MB_ICONEXCLAMATION | MB_TOPMOST);
  return answer == IDYES ? 1 : 0;
}

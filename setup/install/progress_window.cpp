// Copy progress window: dialog 3005 with its progress bar.
#include "install/progress_window.h"

#include <commctrl.h>

#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/run_options.h"

namespace {

HWND g_progress = nullptr;

// The user cannot close the window: commands and close requests are swallowed.
INT_PTR CALLBACK progress_proc(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      center_window(nullptr, dialog);
      return FALSE;
    case WM_COMMAND:
    case WM_CLOSE:
      return TRUE;
    default:
      return FALSE;
  }
}

HWND create_from(HINSTANCE module, HWND parent) {
  return CreateDialogParamA(module, MAKEINTRESOURCEA(IDD_PROGRESS), parent, progress_proc, 0);
}

}  // namespace

int progress_open(HWND parent, SetupInfo *info) {
  progress_close();
  if (run_options().silent) return 0;  // a silent run shows no window
  InitCommonControls();  // registers the progress bar class the template names
  HWND dialog = create_from(info->resource_instance, parent);
  if (!dialog) dialog = create_from(info->setup_instance, parent);
  if (!dialog) return -1;
  g_progress = dialog;
  ShowWindow(dialog, SW_SHOW);
  UpdateWindow(dialog);
  return 0;
}

void progress_set_title(const char *text) {
  if (g_progress) SetWindowTextA(g_progress, text);
}

void progress_set_file(const char *text) {
  if (g_progress) SetDlgItemTextA(g_progress, IDC_PROGRESS_FILE, text);
}

void progress_set_range(unsigned long n) {
  if (g_progress)
    SendDlgItemMessageA(g_progress, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, n & 0xFFFF));
}

void progress_set_pos(unsigned long pos) {
  if (g_progress) SendDlgItemMessageA(g_progress, IDC_PROGRESS_BAR, PBM_SETPOS, pos, 0);
}

void progress_close() {
  if (!g_progress) return;
  DestroyWindow(g_progress);
  g_progress = nullptr;
}

HWND progress_window() { return g_progress; }

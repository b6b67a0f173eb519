// run_dialog: one modal wizard page, from the resource library first and setup second.
#include "wizard/wizard.h"

int run_dialog(HWND owner, WORD id, DLGPROC procedure, SetupInfo *info) {
  LPARAM param = reinterpret_cast<LPARAM>(info);
  INT_PTR code = DialogBoxParamA(info->resource_instance, MAKEINTRESOURCEA(id), owner, procedure, param);
  if (code == -1) code = DialogBoxParamA(info->setup_instance, MAKEINTRESOURCEA(id), owner, procedure, param);
  switch (code) {
    case IDOK:
      return 0;
    case 4:
      return 4;
    case IDCANCEL:
      return 1;
    default:
      return -1;
  }
}

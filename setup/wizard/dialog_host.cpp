// run_dialog: one modal setup dialog, from the resource library first and setup second.
#include "wizard/dialog_host.h"

#include "res/resource.h"
#include "util/action_log.h"
#include "util/run_options.h"

int run_dialog(HWND owner, WORD id, DLGPROC procedure, SetupInfo *info, SetupDispatchTable *table) {
  // A silent run shows no dialog and goes forward as the dialog's default button would.
  if (run_options().silent) {
    log_line("dialog %u: not shown (silent), answered forward", id);
    return RESULT_GO_ON;
  }
  DialogData data = {info, table};
  LPARAM param = reinterpret_cast<LPARAM>(&data);
  INT_PTR code = DialogBoxParamA(info->resource_instance, MAKEINTRESOURCEA(id), owner, procedure, param);
  if (code == -1) code = DialogBoxParamA(info->setup_instance, MAKEINTRESOURCEA(id), owner, procedure, param);
  switch (code) {
    case IDOK:
      return RESULT_GO_ON;
    case IDC_BACK:
      return RESULT_GO_BACK;
    case IDCANCEL:
      return RESULT_CANCELLED;
    default:
      return RESULT_FAILED;
  }
}

DialogData *dialog_data(HWND dialog) { return reinterpret_cast<DialogData *>(GetWindowLongPtrA(dialog, DWLP_USER)); }

// The one host of setup's dialogs. Every wizard page and uninstall dialog is shown by run_dialog,
// which takes the template from the product's resource library first and from setup second, and
// hands the dialog a DialogData that page_begin keeps in the dialog's user data. Strings come
// from load_res_string and the side picture from show_side_bitmap, in the same order.
#pragma once

#include <windows.h>

#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"

struct DialogData {
  SetupInfo *info;
  SetupDispatchTable *table;  // the hooks, for a dialog that runs them; null otherwise
};

// Shows template id modally. RESULT_GO_ON (forward), RESULT_GO_BACK, RESULT_CANCELLED, or
// RESULT_FAILED for anything else (including a template missing from both modules).
int run_dialog(HWND owner, WORD id, DLGPROC procedure, SetupInfo *info, SetupDispatchTable *table = nullptr);

// The DialogData of a dialog that page_begin has set up; null before that.
DialogData *dialog_data(HWND dialog);

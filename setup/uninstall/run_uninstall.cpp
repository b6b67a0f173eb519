// run_uninstall and remove_product: the hooks around the removal, the Uninstalling dialog or a
// silent removal, and the scheduling of setup's temporary copies for deletion.

#include "install/uninstall_record.h"
#include "res/resource.h"
#include "sdk/utilities.h"
#include "uninstall/remove_items.h"
#include "uninstall/private_folder.h"
#include "uninstall/uninstall_stages.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/message_pump.h"
#include "util/run_options.h"
#include "wizard/dialog_host.h"

namespace {

// A progress line: shown in the dialog's list and followed by a pause, unless a newer version's
// installer runs this uninstall or the run is silent (then neither happens). The removal runs
// inside one message of the dialog; in the pauses the dialog still repaints, and what reaches it
// then (Escape, OK, its close box) finds OK disabled and is ignored, rather than waiting in the
// queue to close the dialog the moment its outcome shows.
void progress_line(SetupInfo *info, HWND window, int id) {
  if (info->replacing_previous || run_options().silent) return;
  if (!window) {
    Sleep(500);
    return;
  }
  char text[260] = {0};
  load_res_string(info, id, text, sizeof text);
  SendDlgItemMessageA(window, IDC_UNINSTALL_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
  UpdateWindow(window);
  pause_pumping(500);
}

// Each item left behind, for the log.
void log_left_items(SetupInfo *info) {
  for (const UninstallFailed &failed : info->uninstall_failures) {
    const String &text = failed.kind == FAILED_FILE ? failed.file : failed.kind == FAILED_DIR ? failed.dir : failed.reg_key;
    log_line("uninstall: left behind: %s", text.c_str());
  }
  log_line("uninstall: %s", info->removal_incomplete ? "some items could not be removed" : "everything was removed");
}

void show_outcome(SetupInfo *info, HWND window) {
  log_left_items(info);
  if (!window) return;
  pump_pending_messages();  // what came during the last part of the removal, while OK is still off
  char text[260] = {0};
  load_res_string(info, info->removal_incomplete ? IDS_UNINSTALL_PARTIAL : IDS_UNINSTALL_DONE, text, sizeof text);
  SetDlgItemTextA(window, IDC_UNINSTALL_RESULT, text);
  if (info->removal_incomplete) ShowWindow(GetDlgItem(window, IDC_UNINSTALL_DETAILS), SW_SHOWNORMAL);
  EnableWindow(GetDlgItem(window, IDOK), TRUE);
  SetFocus(GetDlgItem(window, IDOK));
}

// The removal in its fixed order, with a progress line before each part.
int remove_items_in_order(SetupInfo *info, SetupDispatchTable *table, HWND window) {
  read_uninstall_record(info);
  int r = table->AfterVerifyUninstallDialog(info, nullptr);
  if (r != RESULT_GO_ON) return r;
  progress_line(info, window, IDS_REMOVING_FILES);
  if (remove_files(info) != 0) return RESULT_FAILED;
  progress_line(info, window, IDS_REMOVING_START_MENU);
  progress_line(info, window, IDS_REMOVING_ASSOCIATIONS);
  if (remove_associations(info) != 0) return RESULT_FAILED;
  progress_line(info, window, IDS_REMOVING_DIRECTORIES);
  if (remove_directories(info) != 0) return RESULT_FAILED;
  progress_line(info, window, IDS_REMOVING_REGISTRY);
  if (remove_registry_keys(info) != 0) return RESULT_FAILED;
  // Only now the record goes: an uninstall stopped before this point can be finished from it.
  delete_uninstall_record(info);
  remove_keys_holding_record(info);
  return RESULT_GO_ON;
}

}  // namespace

int remove_product(SetupInfo *info, SetupDispatchTable *table, HWND window) {
  int r = remove_items_in_order(info, table, window);
  if (info->replacing_previous) return r;
  // A removal that stopped early still ends with its outcome and an enabled OK button, so the
  // dialog can be closed; what was not removed counts as left behind.
  if (r == RESULT_GO_ON) {
    progress_line(info, window, IDS_PROCESS_COMPLETE);
  } else {
    info->removal_incomplete = 1;
  }
  show_outcome(info, window);
  return r;
}

int run_uninstall(SetupInfo *info, SetupDispatchTable *table) {
  int r = table->UninstallCreate(info, nullptr);
  if (r != RESULT_GO_ON) return r;
  if (info->replacing_previous) {
    remove_product(info, table, nullptr);
  } else {
    r = table->BeforeVerifyUninstallDialog(info, nullptr);
    if (r == RESULT_FAILED) return RESULT_FAILED;
    if (skips_dialog(r) || run_options().silent) {
      remove_product(info, table, nullptr);
    } else if (run_dialog(GetDesktopWindow(), IDD_UNINSTALLING, uninstall_dialog_proc, info, table) != RESULT_GO_ON) {
      return RESULT_FAILED;
    }
  }
  r = table->UninstallDestroy(info, nullptr);
  if (r != RESULT_GO_ON) return r;
  // The second stage runs from its private folder: what it holds goes now, or at the restart.
  remove_private_folder(info->source_dir.c_str());
  return RESULT_GO_ON;
}

// Finding an installed earlier version of the product and running its uninstaller.
#include <cstring>

#include "res/resource.h"
#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "util/product_keys.h"
#include "util/bounded_text.h"
#include "util/failure_message.h"
#include "util/uninstall_signal.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"
#include "scoped.h"

namespace {

// The registered uninstall command of the installed product, when there is one.
int read_uninstall_command(SetupInfo *info, char *command, unsigned long size) {
  char path[260];
  kRegKey product;
  if (!format_text(path, sizeof path, "%s\\%s", kMakerKey, info->product_name.c_str())) return 0;
  if (!product.Open(HKEY_LOCAL_MACHINE, path)) return 0;
  kRegKey uninstall;
  if (!format_text(path, sizeof path, "%s\\%s", kAddRemoveParent, info->product_name.c_str()))
    return 0;
  if (!uninstall.Open(HKEY_LOCAL_MACHINE, path)) return 0;
  return uninstall.GetString("UninstallString", command, size);
}

// The registered command ends with the number 0 (ask the user); 1 makes the old setup
// uninstall without asking.
void switch_off_confirmation(char *command) {
  char *last_zero = strrchr(command, '0');
  if (last_zero) *last_zero = '1';
}

// How long the old uninstall may take after its first stage has ended.
const DWORD kOldUninstallWait = 5 * 60 * 1000;

// Runs the old uninstaller and waits until its removal is over: the old first stage ends as soon
// as it has started its second stage, which then deletes the old files, so the new installation
// must not touch the disk before the second stage has said it finished. 1 when the removal is
// over or nothing could be started; 0 when it did not finish within the wait.
int run_old_uninstaller(SetupInfo *info, const char *command) {
  ScopedHandle finished(create_uninstall_finished_event(info->product_name.c_str()));
  unsigned long started = run_program(1, command);
  if (!finished.valid() || started == 0xFFFFFFFFUL) return 1;
  return WaitForSingleObject(finished.get(), kOldUninstallWait) == WAIT_OBJECT_0;
}

}  // namespace

int check_previous_version(SetupInfo *info, SetupDispatchTable *table) {
  char command[260] = {0};
  if (!read_uninstall_command(info, command, sizeof command)) return RESULT_GO_ON;
  return replace_previous_version(info, table, command);
}

int replace_previous_version(SetupInfo *info, SetupDispatchTable *table, const char *registered) {
  char command[260] = {0};
  if (!copy_text(command, sizeof command, registered)) return 1;
  int r = table->BeforePreviousDialog(info, nullptr);
  if (r == RESULT_CANCELLED || r == RESULT_FAILED) return r;
  if (r == RESULT_GO_ON) {
    if (run_dialog(GetDesktopWindow(), IDD_PREVIOUS, previous_dialog_proc, info) != RESULT_GO_ON) return RESULT_CANCELLED;
    switch_off_confirmation(command);
    if (!run_old_uninstaller(info, command)) {
      show_failure(info, nullptr, IDS_PREVIOUS_STILL_REMOVING, info->product_name.c_str(), 0);
      return RESULT_FAILED;
    }
    info->replacing_previous = 1;
  }
  return table->AfterPreviousDialog(info, nullptr);
}

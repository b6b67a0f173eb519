// Finding an installed earlier version of the product and running its uninstaller.
#include <cstring>

#include "res/resource.h"
#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

// The registered uninstall command of the installed product, when there is one.
int read_uninstall_command(SetupInfo *info, char *command, unsigned long size) {
  char path[260];
  kRegKey product;
  if (!format_text(path, sizeof path, "Software\\Quorvane\\%s", info->product_name.c_str())) return 0;
  if (!product.Open(HKEY_LOCAL_MACHINE, path)) return 0;
  kRegKey uninstall;
  if (!format_text(path, sizeof path, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s",
                   info->product_name.c_str()))
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

}  // namespace

int check_previous_version(SetupInfo *info, SetupDispatchTable *table) {
  char command[260] = {0};
  if (!read_uninstall_command(info, command, sizeof command)) return 1;
  return replace_previous_version(info, table, command) != 0 ? 0 : 1;
}

int replace_previous_version(SetupInfo *info, SetupDispatchTable *table, const char *registered) {
  char command[260] = {0};
  if (!copy_text(command, sizeof command, registered)) return 1;
  int r = table->BeforePreviousDialog(info, nullptr);
  if (r == 1 || r == -1) return r;
  if (r == 0) {
    if (run_dialog(GetDesktopWindow(), IDD_PREVIOUS, previous_dialog_proc, info) != 0) return 1;
    switch_off_confirmation(command);
    run_program(1, command);
    info->replacing_previous = 1;
  }
  return table->AfterPreviousDialog(info, nullptr);
}

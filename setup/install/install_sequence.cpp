// The install sequence: each step in its fixed place; the first stop value ends the run, and a
// step that failed (rather than a hook that stopped it) is reported to the user once, here.
#include "install/install_sequence.h"

#include "install/associations.h"
#include "install/directories.h"
#include "install/file_copy.h"
#include "install/package.h"
#include "install/progress_window.h"
#include "install/registry_entries.h"
#include "install/start_menu.h"
#include "install/uninstall_record.h"
#include "install/version_stamp.h"
#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/failure_message.h"
#include "util/step_failure.h"

namespace {

// package.dat is written with the C library, which leaves the system's error code of the write
// or create that failed; one left over from an earlier call must not be shown instead.
int write_package_step(SetupInfo *info) {
  SetLastError(0);
  if (write_package(info) != 0) return 0;
  DWORD error = GetLastError();
  String path = info->install_dir;
  path.append("\\package.dat");
  return note_step_failure(IDS_FILE_NOT_WRITTEN, path.c_str(), error);
}

int run_steps(SetupInfo *info, SetupDispatchTable *table) {
  if (info->main_window) UpdateWindow(info->main_window);
  int r = create_directories(info);
  if (r != 0) return r;
  r = copy_files(info, table);
  if (r != 0) return r;
  create_start_menu_entries(info);
  write_associations(info);
  write_version_stamp(info);
  r = write_package_step(info);
  if (r != 0) return r;
  r = apply_registry_entries(info);
  if (r != 0) return r;
  return write_uninstall_record(info);
}

// The box is owned by the progress window while it is open, else by the main window.
HWND failure_owner(SetupInfo *info) {
  HWND owner = progress_window();
  if (!owner) owner = info->main_window;
  return owner && IsWindow(owner) ? owner : nullptr;
}

}  // namespace

int run_install_steps(SetupInfo *info, SetupDispatchTable *table) {
  clear_step_failure();
  int r = run_steps(info, table);
  StepFailure failure;
  if (r != 0 && take_step_failure(&failure))
    show_failure(info, failure_owner(info), failure.message_id, failure.subject, failure.error);
  return r;
}

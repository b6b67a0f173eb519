// The install sequence: each step in its fixed place; the first stop value ends the run.
#include "install/install_sequence.h"

#include "install/associations.h"
#include "install/directories.h"
#include "install/file_copy.h"
#include "install/package.h"
#include "install/registry_entries.h"
#include "install/start_menu.h"
#include "install/uninstall_record.h"
#include "install/version_stamp.h"

int run_install_steps(SetupInfo *info, SetupDispatchTable *table) {
  if (info->main_window) UpdateWindow(info->main_window);
  int r = create_directories(info);
  if (r != 0) return r;
  r = copy_files(info, table);
  if (r != 0) return r;
  create_start_menu_entries(info);
  write_associations(info);
  write_version_stamp(info);
  if (write_package(info) == 0) return -1;
  r = apply_registry_entries(info);
  if (r != 0) return r;
  return write_uninstall_record(info);
}

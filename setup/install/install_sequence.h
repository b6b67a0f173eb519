// The install steps, run in their fixed order once the user confirmed the Ready page.
#pragma once

#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"

// Runs: repaint of the main window, directories, file copy, Start-menu shortcuts, associations,
// version stamp, package.dat, registry entries with the Add/Remove entry, uninstall record.
// table supplies the copy hooks. 0 when every step went on; otherwise the stopping step's value
// (-1) at once. A step that failed (a directory, a file, a registry key or the uninstall record
// that could not be made) is shown in one warning box, owned by the progress or main window; a
// hook that stopped the run is not. Then everything the run had changed is undone, newest first,
// and one box says so or lists what could not be undone. A copy stage that asked the main window
// to close has it closed only after that box.
int run_install_steps(SetupInfo *info, SetupDispatchTable *table);

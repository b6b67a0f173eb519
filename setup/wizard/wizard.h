// The install wizard: the previous-version check, the page sequence with its hooks and the
// install steps, and the uninstall confirmation.
#pragma once

#include <windows.h>

#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"

// Shows template id modally (resource library first, then setup). 0 next, 4 back, 1 cancelled,
// -1 anything else (including a template missing from both modules).
int run_dialog(HWND owner, WORD id, DLGPROC procedure, SetupInfo *info);

// 1: go on with the installation; 0: end setup.
int check_previous_version(SetupInfo *info, SetupDispatchTable *table);
// 0: go on; nonzero: end setup.
int replace_previous_version(SetupInfo *info, SetupDispatchTable *table, const char *command);

// The whole wizard, running install_steps between the Ready and Complete pages; the result of
// SetupDestroy when completed, otherwise what stopped it.
typedef int (*InstallSteps)(SetupInfo *info, SetupDispatchTable *table);
int run_wizard(SetupInfo *info, SetupDispatchTable *table, InstallSteps install_steps);

// Asks string 2021 under caption 2022 (Yes/No). 1 when the user answers No.
int confirm_uninstall(SetupInfo *info);

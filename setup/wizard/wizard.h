// The install wizard: the previous-version check, the page sequence with its hooks and the
// install steps, and the uninstall confirmation.
#pragma once

#include <windows.h>

#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"
#include "wizard/dialog_host.h"

// Offers to remove an installed earlier version and removes it. RESULT_GO_ON to go on with the
// installation, otherwise the result that ends setup.
int check_previous_version(SetupInfo *info, SetupDispatchTable *table);
int replace_previous_version(SetupInfo *info, SetupDispatchTable *table, const char *command);

// The whole wizard, running install_steps between the Ready and Complete pages; the result of
// SetupDestroy when completed, otherwise what stopped it.
typedef int (*InstallSteps)(SetupInfo *info, SetupDispatchTable *table);
int run_wizard(SetupInfo *info, SetupDispatchTable *table, InstallSteps install_steps);

// Asks string 2021 under caption 2022 (Yes/No). 1 when the user answers No.
int confirm_uninstall(SetupInfo *info);

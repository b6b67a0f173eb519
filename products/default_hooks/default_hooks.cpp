// The hook library the kit ships for a product that has none of its own: setup's own table,
// whose every hook goes on, so the product installs and uninstalls through the standard wizard.
#include "setup_sdk.h"

static SetupDispatchTable g_default_hooks;

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) { return &g_default_hooks; }

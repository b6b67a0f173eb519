#include "wizard/dispatch_table.h"
static SetupDispatchTable table;
extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) { return &table; }

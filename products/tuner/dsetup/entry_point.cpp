// The hook library's entry point: hands setup the tuner's table of hooks.
#include "tuner_setup.h"

static TunerSetup g_tuner_setup;

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) { return &g_tuner_setup; }

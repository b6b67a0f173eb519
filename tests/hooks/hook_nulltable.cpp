// A library whose entry point gives no hook table: setup must treat it like a missing entry point.
class SetupInfo;
class SetupDispatchTable;

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) { return nullptr; }

// A hook library whose entry point waits in a message box, so that a test can hold one
// setup in install mode while it starts another.
#include <windows.h>

class SetupInfo;
class SetupDispatchTable;

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) {
  MessageBoxA(nullptr, "hook waiting", "hook_waitbox", MB_OK);
  return nullptr;
}

// The entry point of a library without a C runtime: its static objects live from the load to
// the unload (or the end of the process).
#include <windows.h>

#include "static_objects.h"

// The linker's default entry for a DLL, so no -e option is needed.
extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD reason, void *) {
  if (reason == DLL_PROCESS_ATTACH) run_static_constructors();
  if (reason == DLL_PROCESS_DETACH) run_static_destructors();
  return TRUE;
}

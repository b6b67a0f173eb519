// The entry point of a library without a C runtime: its own heap and its static objects live from
// the load to the unload (or the end of the process).
#include <windows.h>

#include "heap.h"
#include "static_objects.h"

// The linker's default entry for a DLL, so no -e option is needed. A library that cannot have its
// heap fails to load, as Windows reports for any library whose entry point refused.
extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD reason, void *) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (!heap_create_private()) return FALSE;
    run_static_constructors();
  }
  if (reason == DLL_PROCESS_DETACH) {
    run_static_destructors();
    heap_destroy_private();
  }
  return TRUE;
}

// Loading the product's hook library and obtaining its hook table.
#include "script/script_reader.h"

#include "sdk/dispatch_table.h"
#include "util/bounded_text.h"
#include "util/messages.h"
#include "util/silent_windows.h"

SetupDispatchTable *g_dispatch = nullptr;

int load_setup_dll(SetupInfo *info, const char *directory) {
  char path[260];
  if (!format_text(path, sizeof path, "%s\\dsetup.dll", directory)) {
    show_file_error(ERROR_FILENAME_EXCED_RANGE, directory, "Failed to load Setup .dll");
    return -1;
  }
  // The library's own start-up and entry point may open windows too.
  SilentWindowScope watch("SetupDllEntryPoint");
  HMODULE library = LoadLibraryA(path);
  if (!library) {
    DWORD error = GetLastError();
    show_file_error(error, path, "Failed to load Setup .dll");
    return -1;
  }
  info->hook_library = library;
  SetupDllEntryPointFn entry =
      reinterpret_cast<SetupDllEntryPointFn>(reinterpret_cast<void (*)()>(GetProcAddress(library, "SetupDllEntryPoint")));
  SetupDispatchTable *table = entry ? entry(info, 0) : nullptr;
  if (!table) {
    // A library without the entry point, or whose entry point gives no table, cannot drive
    // a run: it is unloaded again so that no code of it stays mapped.
    g_message_box(nullptr, "failed to get entry point", nullptr, MB_OK);
    info->hook_library = nullptr;
    FreeLibrary(library);
    return -1;
  }
  g_dispatch = table;
  return 0;
}

// Reading setup.ini into SetupInfo, loading the hook library, and the script start-up.
#pragma once

#include "script/ini_file.h"
#include "sdk/dispatch_table.h"
#include "sdk/setup_info.h"

// The table of the loaded hook library (set once by load_setup_dll); null before that.
extern SetupDispatchTable *g_dispatch;

// Loads "<directory>\dsetup.dll", calls its SetupDllEntryPoint and keeps the table in g_dispatch
// and the module in info->hook_library. 0, or -1 after showing what went wrong.
int load_setup_dll(SetupInfo *info, const char *directory);

// Reads every section of "<source_dir>\setup.ini" into info. 0, or -1 when the resource
// library named by the script cannot be loaded.
int read_script(SetupInfo *info, dIniFile *script, HINSTANCE instance, const char *source_dir);

// Results of load_resource_dll.
enum { RESOURCE_DLL_LOADED = 0, RESOURCE_DLL_MISSING = 1, RESOURCE_DLL_UNLOADABLE = 2 };

// Sets info->resource_dll_path to "<directory>\<name>" and, when that file exists and loads,
// makes it info->resource_instance. On RESOURCE_DLL_UNLOADABLE *error holds the load error.
int load_resource_dll(SetupInfo *info, const char *directory, const char *name, DWORD *error);

// Install-mode start-up: hook library and script from the current directory. 0 or -1
// (after its messages).
int init_script(SetupInfo *info, dIniFile *script, HINSTANCE instance);

// How many times its size the background bitmap is drawn: 2 for setup's own picture, which it
// carries at half size, 1 for a product's.
int background_scale();

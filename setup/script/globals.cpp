// The process-wide objects of setup, constructed in this order before the entry point runs:
// the script file first, then the one SetupInfo.
#include "script/globals.h"
#include "script/ini_file.h"

dIniFile g_script_file;
SetupInfo g_setup_info;

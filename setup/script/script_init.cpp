// Install-mode script start-up: the hook library first, then setup.ini, both from the
// current directory.
#include "script/script_reader.h"

#include "util/messages.h"

int init_script(SetupInfo *info, dIniFile *script, HINSTANCE instance) {
  char directory[260];
  DWORD n = GetCurrentDirectoryA(sizeof directory, directory);
  if (n == 0 || n >= sizeof directory) {
    show_fatal_message("Failed to get dispatch table");
    return -1;
  }
  if (load_setup_dll(info, directory) != 0) {
    show_fatal_message("Failed to get dispatch table");
    return -1;
  }
  if (read_script(info, script, instance, directory) != 0) {
    show_fatal_message("Failed to get script information");
    return -1;
  }
  return 0;
}

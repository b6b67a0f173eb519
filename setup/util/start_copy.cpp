#include "util/start_copy.h"

DWORD start_copied_program(char *command, BOOL inherit, const char *folder, PROCESS_INFORMATION *process) {
  DWORD error = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt) Sleep(200);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    *process = PROCESS_INFORMATION();
    if (CreateProcessA(nullptr, command, nullptr, nullptr, inherit, 0, nullptr, folder, &startup, process)) return 0;
    error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_BAD_EXE_FORMAT) break;
  }
  return error ? error : ERROR_INTERNAL_ERROR;
}

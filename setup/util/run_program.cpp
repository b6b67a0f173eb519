// run_program: starts a command line and, if asked, waits for it; returns its exit code.
#include <cstdlib>
#include <cstring>

#include "scoped.h"
#include "sdk/utilities.h"

unsigned long run_program(int wait, const char *command_line) {
  const unsigned long kNotStarted = 0xFFFFFFFFul;
  if (!command_line) return kNotStarted;
  // CreateProcessA may write into the command line, so it gets a copy of its own.
  size_t length = strlen(command_line);
  char *line = static_cast<char *>(malloc(length + 1));
  if (!line) return kNotStarted;
  memcpy(line, command_line, length + 1);
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  BOOL started = CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  free(line);
  if (!started) return kNotStarted;
  ScopedHandle thread(process.hThread), program(process.hProcess);
  if (wait) WaitForSingleObject(program.get(), INFINITE);
  DWORD code = 0;
  return GetExitCodeProcess(program.get(), &code) ? code : kNotStarted;
}

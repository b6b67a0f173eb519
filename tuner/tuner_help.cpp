// The tuner's help page, "Help\index.htm" beside the program, opened through the shell.
#include "tuner_help.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>

#include "text_format.h"

int help_file_path(const char *module_path, char *out, size_t capacity) {
  size_t length = std::strlen(module_path);
  size_t directory = 0;
  for (size_t i = length; i-- > 1;) {
    if (module_path[i] == '\\') {
      directory = i + 1;
      break;
    }
  }
  if (directory == 0 || directory > 0x7FFFFFFF) return 0;
  char path[600];
  int n = text_format(path, sizeof path, "%.*s\\Help\\index.htm", static_cast<int>(directory), module_path);
  if (n < 0 || static_cast<size_t>(n) >= sizeof path || static_cast<size_t>(n) >= capacity) return 0;
  std::memcpy(out, path, static_cast<size_t>(n) + 1);
  return 1;
}

void open_help() {
  char module[512];
  DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  if (n == 0 || n >= sizeof module) return;
  char file[600];
  if (!help_file_path(module, file, sizeof file)) return;
  ShellExecuteA(nullptr, "open", file, nullptr, nullptr, SW_SHOWMAXIMIZED);
}

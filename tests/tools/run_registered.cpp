// run_registered PRODUCT: runs the product's Add/Remove Programs UninstallString exactly as the
// control panel does (CreateProcess with the stored text as the command line), waits for it and
// exits with its exit code (255 when the entry or the program is missing).
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char **argv) {
  if (argc < 2) return 255;
  std::string key = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + argv[1];
  HKEY handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return 255;
  char command[1024] = {0};
  DWORD size = sizeof command - 1, type = 0;
  LONG rc = RegQueryValueExA(handle, "UninstallString", nullptr, &type, reinterpret_cast<BYTE *>(command), &size);
  RegCloseKey(handle);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return 255;
  printf("%s\n", command);
  fflush(stdout);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return 255;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 255;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

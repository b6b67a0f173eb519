// The entry point of a program without a C runtime: static objects, WinMain, ExitProcess.
#include <windows.h>

#include "command_tail.h"
#include "static_objects.h"

// The linker's default entry for a windows-subsystem program, so no -e option is needed.
extern "C" void WinMainCRTStartup() {
  run_static_constructors();
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  char *arguments = const_cast<char *>(command_tail(GetCommandLineA()));
  int status = WinMain(GetModuleHandleA(nullptr), nullptr, arguments, show);
  run_static_destructors();
  ExitProcess(static_cast<UINT>(status));
}

// The tuner only works on the Windows 95 family, so this suite runs as Windows 98: before any test
// starts, a process that does not see Windows 98 sets Wine's version for the prefix and runs the
// suite again in a child process, whose exit code becomes its own.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "platform.h"

namespace {

const char kRelaunched[] = "TUNER_TESTS_AS_WIN98";

// Sets (text) or removes (null) a value of Wine's own settings in the prefix.
void set_wine_setting(const char *subkey, const char *name, const char *text) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return;
  if (text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), static_cast<DWORD>(strlen(text) + 1));
  } else {
    RegDeleteValueA(key, name);
  }
  RegCloseKey(key);
}

struct RunAsWindows98 {
  RunAsWindows98() {
    if (IsWindows95Family() || GetEnvironmentVariableA(kRelaunched, nullptr, 0) != 0) return;
    set_wine_setting("Software\\Wine", "Version", "win98");
    // The suite's display has no window manager: unmanaged windows close without waiting for one.
    set_wine_setting("Software\\Wine\\X11 Driver", "Managed", "N");
    SetEnvironmentVariableA(kRelaunched, "1");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char *command_line = GetCommandLineA();
    if (!CreateProcessA(nullptr, command_line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
      return;  // run here; the platform test below then reports the problem
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    set_wine_setting("Software\\Wine", "Version", nullptr);
    set_wine_setting("Software\\Wine\\X11 Driver", "Managed", nullptr);
    std::exit(static_cast<int>(code));
  }
} run_as_windows98;

TEST(Platform, SuiteSeesTheWindows95Family) {
  EXPECT_TRUE(IsWindows95Family());
  EXPECT_NE(0u, GetVersion() & 0x80000000u);
}

}  // namespace

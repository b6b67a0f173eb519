// Which Windows is running: platform and build from the version record, language, rights.
#include "sdk/reg_key.h"
#include "sdk/utilities.h"

namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record is 148 bytes on every Windows");

// Fills version; 0 when the system cannot tell (the record then reads as platform 0).
int read_version(OSVERSIONINFOA *version) {
  ZeroMemory(version, sizeof *version);
  version->dwOSVersionInfoSize = sizeof *version;
  return GetVersionExA(version) != 0;
}

DWORD platform_id() {
  OSVERSIONINFOA version;
  return read_version(&version) ? version.dwPlatformId : 0;
}

}  // namespace

int is_this_winnt() { return platform_id() == VER_PLATFORM_WIN32_NT; }

int is_this_win95() { return platform_id() == VER_PLATFORM_WIN32_WINDOWS; }

int is_this_win98() {
  kRegKey key;
  return key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Welcome");
}

int is_this_win95_osr2() {
  OSVERSIONINFOA version;
  if (!read_version(&version)) return 0;
  return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && LOWORD(version.dwBuildNumber) > 1000;
}

int is_this_a_valid_win32() {
  DWORD platform = platform_id();
  return platform == VER_PLATFORM_WIN32_WINDOWS || platform == VER_PLATFORM_WIN32_NT;
}

int is_this_service_pack_3() {
  OSVERSIONINFOA version;
  if (!read_version(&version)) return 0;
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwBuildNumber >= 1381;
}

int is_this_japan() { return PRIMARYLANGID(GetSystemDefaultLangID()) == LANG_JAPANESE; }

// Setting the computer name to the name it already has needs the same right as renaming it.
int is_user_administrator() {
  char name[MAX_PATH];
  DWORD size = sizeof name;
  if (!GetComputerNameA(name, &size)) return 0;
  return SetComputerNameA(name) != 0;
}

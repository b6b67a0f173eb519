// Points the system's Programs folder at a folder of the test while it lives.
#pragma once

#include <windows.h>

#include <string>

namespace page {

inline const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Points the system's Programs folder (the per-user and the all-users value) at a folder of the
// test for as long as it lives, then puts the old values back.
class ProgramsFolder {
 public:
  explicit ProgramsFolder(const std::string &path) {
    for (Value &value : values_) {
      value.existed = read(value, &value.old);
      write(value, path);
    }
  }
  ~ProgramsFolder() {
    for (Value &value : values_) {
      if (value.existed) {
        write(value, value.old);
      } else {
        HKEY key = nullptr;
        if (RegOpenKeyExA(value.root, kShellFolders, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
          RegDeleteValueA(key, value.name);
          RegCloseKey(key);
        }
      }
    }
  }

 private:
  struct Value {
    HKEY root;
    const char *name;
    bool existed;
    std::string old;
  };
  static bool read(const Value &value, std::string *out) {
    char text[MAX_PATH] = {0};
    DWORD size = sizeof text - 1;
    HKEY key = nullptr;
    if (RegOpenKeyExA(value.root, kShellFolders, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    LONG result = RegQueryValueExA(key, value.name, nullptr, nullptr, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    *out = text;
    return result == ERROR_SUCCESS;
  }
  static void write(const Value &value, const std::string &text) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(value.root, kShellFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
      return;
    RegSetValueExA(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
  }
  Value values_[2] = {{HKEY_CURRENT_USER, "Programs", false, ""},
                      {HKEY_LOCAL_MACHINE, "Common Programs", false, ""}};
};

}  // namespace page

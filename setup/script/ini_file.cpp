// dIniFile: one key at a time from setup.ini through GetPrivateProfileStringA.
#include "script/ini_file.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "util/bounded_text.h"

dIniFile::dIniFile() { path_[0] = 0; }

int dIniFile::Open(const char *path) {
  if (!path) return 0;
  return copy_text(path_, sizeof path_, path);
}

int dIniFile::GetString(const char *section, const char *key, char *buffer, unsigned long size) {
  if (!buffer || size == 0 || size > 0x7FFFFFFF) return 0;
  std::vector<char> scratch(size, 0);
  GetPrivateProfileStringA(section, key, "fail", scratch.data(), static_cast<DWORD>(size), path_);
  scratch[size - 1] = 0;
  if (strstr(scratch.data(), "fail")) return 0;
  memcpy(buffer, scratch.data(), strlen(scratch.data()) + 1);
  return 1;
}

int dIniFile::GetDWORD(const char *section, const char *key, unsigned long *number) {
  char text[260];
  if (!number || !GetString(section, key, text, sizeof text)) return 0;
  // C notation: decimal, 0x hexadecimal, leading-0 octal; stops at the first character that
  // does not fit. Values beyond 32 bits keep their low 32 bits.
  *number = static_cast<unsigned long>(strtoull(text, nullptr, 0) & 0xFFFFFFFFu);
  return 1;
}

// dIniFile: one key at a time from setup.ini through GetPrivateProfileStringA.
#include "script/ini_file.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "util/bounded_text.h"

namespace {

bool is_blank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Value of c as a digit of base (8, 10 or 16), or -1.
int digit_value(char c, unsigned base) {
  int value = c >= '0' && c <= '9'   ? c - '0'
              : c >= 'a' && c <= 'f' ? c - 'a' + 10
              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                     : -1;
  return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

// An unsigned number in C notation, read as the C library's strtoull with base 0 reads it:
// blanks, an optional sign, then 0x hexadecimal, leading-0 octal or decimal digits up to the
// first character that does not fit. A value beyond 64 bits gives the largest one; a minus sign
// negates the value modulo 2^64.
uint64_t parse_c_number(const char *text) {
  while (is_blank(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  unsigned base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && digit_value(text[2], 16) >= 0) {
    base = 16;
    text += 2;
  } else if (text[0] == '0') {
    base = 8;
  }
  const uint64_t kLargest = ~static_cast<uint64_t>(0);
  uint64_t value = 0;
  for (int digit; (digit = digit_value(*text, base)) >= 0; ++text) {
    if (value > (kLargest - static_cast<unsigned>(digit)) / base) return kLargest;
    value = value * base + static_cast<unsigned>(digit);
  }
  return negative ? 0 - value : value;
}

}  // namespace

dIniFile::dIniFile() { path_[0] = 0; }

int dIniFile::Open(const char *path) {
  if (!path) return 0;
  return copy_text(path_, sizeof path_, path);
}

int dIniFile::GetString(const char *section, const char *key, char *buffer, unsigned long size) {
  if (!buffer || size == 0 || size > 0x7FFFFFFF) return 0;
  char *scratch = static_cast<char *>(calloc(size, 1));
  if (!scratch) return 0;
  GetPrivateProfileStringA(section, key, "fail", scratch, static_cast<DWORD>(size), path_);
  scratch[size - 1] = 0;
  int found = strstr(scratch, "fail") == nullptr;
  if (found) memcpy(buffer, scratch, strlen(scratch) + 1);
  free(scratch);
  return found;
}

int dIniFile::GetDWORD(const char *section, const char *key, unsigned long *number) {
  char text[260];
  if (!number || !GetString(section, key, text, sizeof text)) return 0;
  // Values beyond 32 bits keep their low 32 bits.
  *number = static_cast<unsigned long>(parse_c_number(text) & 0xFFFFFFFFu);
  return 1;
}

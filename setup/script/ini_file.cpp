// dIniFile: setup.ini's keys through GetPrivateProfileStringA, or from a section held in memory.
#include "script/ini_file.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sdk/utilities.h"
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

dIniFile::dIniFile() {
  path_[0] = 0;
  held_name_[0] = 0;
}

dIniFile::~dIniFile() { free(held_); }

char *dIniFile::read_section(const char *section) {
  for (DWORD size = 64 * 1024; size <= 8 * 1024 * 1024; size *= 2) {
    char *text = static_cast<char *>(malloc(size));
    if (!text) return nullptr;
    DWORD n = GetPrivateProfileSectionA(section, text, size, path_);
    // The 95 family returns at most 32,767 characters of a section without saying it cut it.
    if (n + 2 < size && (n < 32000 || is_this_winnt())) {
      text[n] = text[n + 1] = 0;
      return text;
    }
    free(text);
    if (n + 2 < size) return nullptr;  // cut by the system, not by the buffer
  }
  return nullptr;
}

void dIniFile::HoldSection(const char *section) {
  free(held_);
  held_ = nullptr;
  if (!section || !copy_text(held_name_, sizeof held_name_, section)) return;
  held_ = read_section(section);
  cursor_ = held_;
}

unsigned long dIniFile::KeyCount(const char *section) {
  if (!section) return 0xFFFFFFFFUL;
  bool held = held_ && ascii_compare_nocase(section, held_name_) == 0;
  char *text = held ? held_ : read_section(section);
  if (!text) return 0xFFFFFFFFUL;
  unsigned long count = 0;
  for (const char *entry = text; *entry; entry += strlen(entry) + 1) ++count;
  if (!held) free(text);
  return count;
}

bool dIniFile::find_held(const char *section, const char *key, const char **value) {
  if (!held_ || ascii_compare_nocase(section, held_name_) != 0) return false;
  size_t key_length = strlen(key);
  // From the cursor to the end, then from the start to the cursor.
  for (int pass = 0; pass < 2; ++pass) {
    const char *begin = pass == 0 ? cursor_ : held_;
    const char *end = pass == 0 ? nullptr : cursor_;
    for (const char *entry = begin; *entry && entry != end; entry += strlen(entry) + 1) {
      const char *equals = strchr(entry, '=');
      size_t name_length = equals ? static_cast<size_t>(equals - entry) : strlen(entry);
      if (name_length != key_length || !ascii_equals_nocase(entry, name_length, key)) continue;
      *value = equals ? equals + 1 : "";
      // A value as the system would not hand it out as it stands: quoted, or with blanks around.
      size_t length = strlen(*value);
      if (length > 0 && (strchr("\"' \t", (*value)[0]) || is_blank((*value)[length - 1]))) return false;
      cursor_ = entry + strlen(entry) + 1;
      return true;
    }
  }
  return false;  // the system may still find it (a section can be written twice)
}

int dIniFile::Open(const char *path) {
  if (!path) return 0;
  return copy_text(path_, sizeof path_, path);
}

int dIniFile::GetString(const char *section, const char *key, char *buffer, unsigned long size) {
  if (!buffer || size == 0 || size > 0x7FFFFFFF) return 0;
  const char *held = nullptr;
  bool found_held = section && key && find_held(section, key, &held);
  char *scratch = static_cast<char *>(calloc(size, 1));
  if (!scratch) return 0;
  if (found_held) {
    size_t length = strlen(held);
    memcpy(scratch, held, length < size - 1 ? length : size - 1);  // cut as the system cuts it
  } else {
    GetPrivateProfileStringA(section, key, "fail", scratch, static_cast<DWORD>(size), path_);
  }
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

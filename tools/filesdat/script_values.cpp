// Values of setup.ini as setup itself sees them.
#include "script_values.h"

#include <cstring>

#include "member_name.h"

namespace {

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

bool all_digits(const std::string &text, size_t from) {
  if (from >= text.size()) return false;
  for (size_t i = from; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

}  // namespace

SetupValue setup_value(const IniKey *key) {
  SetupValue value;
  if (!key) return value;
  value.cut = key->value.size() > kSetupValueLimit;
  value.text = key->value.substr(0, kSetupValueLimit);
  value.has_fail = value.text.find("fail") != std::string::npos;
  value.present = !value.has_fail;
  return value;
}

CNumber c_number(const std::string &text) {
  CNumber number;
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
  int base = 10;
  if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && i + 2 < text.size() &&
      digit_value(text[i + 2]) < 16) {
    base = 16;
    i += 2;
  } else if (i < text.size() && text[i] == '0') {
    base = 8;  // a leading 0 means octal, even when a digit 8 or 9 follows
    number.octal = i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9';
  }
  uint64_t value = 0;
  bool overflow = false;
  for (; i < text.size() && digit_value(text[i]) < base; ++i) {
    number.digits = true;
    uint64_t digit = static_cast<uint64_t>(digit_value(text[i]));
    if (value > (UINT64_MAX - digit) / static_cast<uint64_t>(base)) overflow = true;
    value = value * static_cast<uint64_t>(base) + digit;
  }
  number.whole = number.digits && i == text.size();
  if (!number.whole && i < text.size()) number.stop = text[i];
  if (overflow)
    value = UINT64_MAX;  // the C conversion saturates
  else if (number.negative)
    value = 0 - value;
  number.beyond_32_bits = value > 0xFFFFFFFFu;
  number.value = static_cast<uint32_t>(value & 0xFFFFFFFFu);
  return number;
}

uint32_t setup_number(const IniKey *key) {
  SetupValue value = setup_value(key);
  return value.present ? c_number(value.text).value : 0;
}

bool numbered_key(const std::string &name, const char *stem, unsigned long *n) {
  size_t length = strlen(stem);
  if (name.size() <= length || !same_name(name.substr(0, length), stem) || !all_digits(name, length)) return false;
  if (name[length] == '0' && name.size() > length + 1) return false;
  if (name.size() - length > 10) return false;
  uint64_t value = 0;
  for (size_t i = length; i < name.size(); ++i) value = value * 10 + static_cast<uint64_t>(name[i] - '0');
  if (value > 0xFFFFFFFFu) return false;  // no 32-bit total reaches it
  *n = static_cast<unsigned long>(value);
  return true;
}

bool misnumbered_key(const std::string &name, const char *stem) {
  size_t length = strlen(stem);
  unsigned long n;
  return name.size() > length && same_name(name.substr(0, length), stem) && all_digits(name, length) &&
         !numbered_key(name, stem, &n);
}

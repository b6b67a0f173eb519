// Values of setup.ini as setup itself sees them: text cut to what its buffers hold, a key whose
// text contains "fail" taken as missing, numbers in C notation, numbered item keys.
#pragma once

#include <cstdint>
#include <string>

#include "ini_reader.h"

// setup reads at most this many characters of a value.
const size_t kSetupValueLimit = 259;

struct SetupValue {
  bool present = false;   // the key exists and its (cut) text has no "fail" in it
  bool has_fail = false;  // the key exists but reads as missing because of "fail"
  bool cut = false;       // the value is longer than setup reads
  std::string text;       // what setup gets: at most kSetupValueLimit characters
};

// What setup reads for key (null: the key is not in the script).
SetupValue setup_value(const IniKey *key);

// A number converted as setup converts it (decimal, 0x hexadecimal, leading-0 octal, stopping at
// the first character that does not fit, 32 low bits kept).
struct CNumber {
  uint32_t value = 0;   // what setup gets
  bool digits = false;  // at least one digit was converted
  bool whole = false;   // the whole text was converted
  bool negative = false;
  bool beyond_32_bits = false;
  bool octal = false;  // read as octal because of a leading 0 and further digits
  char stop = 0;       // the first character not converted, when not whole
};
CNumber c_number(const std::string &text);

// The number setup reads for key: 0 when the key is missing.
uint32_t setup_number(const IniKey *key);

// True and *n when name is stem followed by a decimal number without leading zeros ("dir12"),
// the only form of item key that setup asks for. Letter case is ignored.
bool numbered_key(const std::string &name, const char *stem, unsigned long *n);

// True when name is stem followed by digits in another form than setup asks for ("dir01").
bool misnumbered_key(const std::string &name, const char *stem);

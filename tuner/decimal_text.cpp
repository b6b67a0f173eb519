// Decimal text of the tuner's values: "%i" out, a lenient conversion back in.
#include "decimal_text.h"

#include "text_format.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

int32_t parse_decimal(const char *text) {
  if (!text) return 0;
  while (is_blank(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  int64_t number = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (number <= INT32_MAX) number = number * 10 + (*text - '0');  // held just past the limit below
  }
  if (negative) number = -number;
  if (number > INT32_MAX) return INT32_MAX;
  if (number < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(number);
}

int format_decimal(char *out, size_t capacity, int32_t value) {
  if (!out || capacity == 0) return 0;
  int n = text_format(out, capacity, "%i", static_cast<int>(value));
  if (n < 0 || static_cast<size_t>(n) >= capacity) {
    out[0] = '\0';
    return 0;
  }
  return 1;
}

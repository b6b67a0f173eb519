// The bounded formatter: every conversion the programs use, widths and precisions, and the
// bounds: nothing written past the capacity, always terminated, the full length reported.
#include "text_format.h"
#include "util/bounded_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct Formatted {
  int n;
  std::string text;
};

// Formats into capacity bytes followed by a guard byte that must stay untouched.
template <typename... Args>
Formatted format(size_t capacity, const char *pattern, Args... args) {
  std::string buffer(capacity + 1, '#');
  int n = text_format(capacity ? &buffer[0] : nullptr, capacity, pattern, args...);
  EXPECT_EQ('#', buffer[capacity]) << pattern;
  EXPECT_TRUE(capacity == 0 || buffer.find('\0') < capacity) << pattern << ": not terminated";
  return {n, capacity ? buffer.c_str() : ""};
}

TEST(TextFormat, ConversionsFlagsWidthsAndBounds) {
  const char *no_text = nullptr;
  struct Case {
    Formatted got;
    int n;
    const char *text;
  } cases[] = {
      {format(32, "%s|%5s|%-5s|", "abc", "ab", "cd"), 16, "abc|   ab|cd   |"},
      {format(32, "%.2s %.*s\\x", "abcdef", 3, "abcdef"), 8, "ab abc\\x"},
      {format(32, "%s", no_text), 6, "(null)"},
      {format(32, "%d %i %ld", -5, 42, LONG_MIN), 17, "-5 42 -2147483648"},
      {format(32, "%u %lu", 4294967295u, 7ul), 12, "4294967295 7"},
      {format(32, "%x %X %lx %08x", 255, 255, 0xDEADBEEFul, 0xab), 23, "ff FF deadbeef 000000ab"},
      {format(32, "%05d|%-4d|%.3d|%.0d|", -42, 7, 7, 0), 16, "-0042|7   |007||"},
      {format(32, "%*d|%*d|", 3, 7, -3, 7), 8, "  7|7  |"},
      {format(32, "%c%c%3c", 'o', 'k', 'x'), 5, "ok  x"},
      {format(32, "100%% of %s", "it"), 10, "100% of it"},
      {format(4, "%s", "abcdef"), 6, "abc"},
      {format(1, "%d", 12345), 5, ""},
      {format(0, "%s-%s", "abc", "def"), 7, ""},
      {format(32, "%f", 1.0), -1, ""},
      {format(32, "%lld", 1ll), -1, ""},
      {format(32, "%99999999999d", 1), -1, ""},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(c.n, c.got.n) << c.text;
    EXPECT_EQ(c.text, c.got.text);
  }
}

// setup's format_text on top of it: all or nothing.
TEST(FormatText, WritesOnlyAWholeResult) {
  char out[8] = "keep";
  EXPECT_EQ(0, format_text(out, sizeof out, "%s", "12345678"));
  EXPECT_EQ(0, format_text(out, sizeof out, "%f", 1.0));
  EXPECT_STREQ("keep", out);
  EXPECT_EQ(1, format_text(out, sizeof out, "%s-%lu", "ab", 1234ul));
  EXPECT_STREQ("ab-1234", out);
}

}  // namespace

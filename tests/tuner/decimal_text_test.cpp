// Decimal conversion of the tuner's values in both directions.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "decimal_text.h"

namespace {

TEST(DecimalText, ParseIsLenientAndBounded) {
  const struct {
    const char *text;
    int32_t number;
  } cases[] = {
      {"1500", 1500},      {"", 0},           {"abc", 0},         {"  \t576", 576},   {"+64", 64},
      {"-1", -1},          {"12ab", 12},      {"1 2", 1},         {"+-5", 0},         {"--5", 0},
      {" - 5", 0},         {"00042", 42},     {"2147483647", INT_MAX}, {"2147483648", INT_MAX},
      {"99999999999999999999", INT_MAX},      {"-2147483648", INT_MIN}, {"-99999999999", INT_MIN},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.number, parse_decimal(c.text));
  }
  EXPECT_EQ(0, parse_decimal(nullptr));
}

TEST(DecimalText, FormatChecksRoom) {
  char text[12];
  EXPECT_EQ(1, format_decimal(text, sizeof text, INT_MIN));
  EXPECT_STREQ("-2147483648", text);
  EXPECT_EQ(1, format_decimal(text, 4, 576));
  EXPECT_STREQ("576", text);
  EXPECT_EQ(0, format_decimal(text, 4, 1500));
  EXPECT_STREQ("", text);
  EXPECT_EQ(parse_decimal("-7"), -7);
}

}  // namespace

// Command-line splitting, numbers, mode choice and the uninstall stages' argument checks.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "uninstall/stage_args.h"

namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, SplitsAtBlanksAndTabsKeepingQuotedSpans) {
  struct Case {
    const char *line;
    Args expected;
  } cases[] = {
      {"setup.exe", {"setup.exe"}},
      {"  setup.exe\t -u1  ", {"setup.exe", "-u1"}},
      {"C:\\P\\setup.exe -u1 \"Tool Box\" 0", {"C:\\P\\setup.exe", "-u1", "Tool Box", "0"}},
      {"a \"\" b", {"a", "", "b"}},
      {"a say\\\"hi\\\" b", {"a", "say\"hi\"", "b"}},
      {"a \"x\\\"y z\"", {"a", "x\"y z"}},
      {"a C:\\dir\\ b", {"a", "C:\\dir\\", "b"}},
      {"a pre\"mid dle\"post", {"a", "premid dlepost"}},
      {"a \"unterminated span", {"a", "unterminated span"}},
      {"", {}},
  };
  for (const Case &c : cases) EXPECT_EQ(c.expected, split_command_line(c.line)) << c.line;
}

TEST(CommandLine, NumbersReadBlanksSignAndDigits) {
  EXPECT_EQ(0, parse_command_number(""));
  EXPECT_EQ(0, parse_command_number("x1"));
  EXPECT_EQ(12, parse_command_number("  12abc"));
  EXPECT_EQ(-3, parse_command_number("-3"));
  EXPECT_EQ(7, parse_command_number("+7"));
  EXPECT_EQ(1, parse_command_number("1"));
}

TEST(CommandLine, ModeChoice) {
  EXPECT_EQ(MODE_INSTALL, choose_mode({"setup.exe"}));
  EXPECT_EQ(MODE_UNINSTALL_FIRST, choose_mode({"setup.exe", "-u1"}));
  EXPECT_EQ(MODE_UNINSTALL_FIRST, choose_mode({"setup.exe", "-U1"}));
  EXPECT_EQ(MODE_UNINSTALL_SECOND, choose_mode({"setup.exe", "-u2"}));
  EXPECT_EQ(MODE_UNINSTALL_SECOND, choose_mode({"setup.exe", "-U2"}));
  EXPECT_EQ(MODE_UNINSTALL_FIRST, choose_mode({"setup.exe", "/anything"}));
}

TEST(CommandLine, FirstStageArguments) {
  FirstStageArgs args;
  args.product_name = "untouched";
  EXPECT_EQ(0, take_first_stage_args({"setup.exe", "-u1"}, &args));
  EXPECT_EQ(0, take_first_stage_args({"setup.exe", "-u1", "P"}, &args));
  EXPECT_EQ("untouched", args.product_name);
  ASSERT_EQ(1, take_first_stage_args(split_command_line("C:\\P\\setup.exe -u1 \"Tool Box\" 1"), &args));
  EXPECT_EQ("Tool Box", args.product_name);
  EXPECT_EQ(1, args.n);
  EXPECT_EQ("", args.resource_library);
  ASSERT_EQ(1, take_first_stage_args(split_command_line("s -u1 \"P\" 0 \"res lib.dll\""), &args));
  EXPECT_EQ(0, args.n);
  EXPECT_EQ("res lib.dll", args.resource_library);
}

TEST(CommandLine, SecondStageArguments) {
  SecondStageArgs args;
  EXPECT_EQ(0, take_second_stage_args(split_command_line("s -u2 120 \"C:\\P\" 0"), &args));
  EXPECT_EQ("", args.product_name);
  ASSERT_EQ(1, take_second_stage_args(split_command_line("C:\\TEMP\\\\setup.exe -u2 120 \"C:\\P Q\" 1 \"Tool Box\""),
                                      &args));
  EXPECT_EQ(120u, args.process);
  EXPECT_EQ("C:\\P Q", args.directory);
  EXPECT_EQ(1, args.n);
  EXPECT_EQ("Tool Box", args.product_name);
  EXPECT_EQ("", args.resource_library);
  ASSERT_EQ(1, take_second_stage_args(split_command_line("s -u2 1 \"d\" 0 \"P\" \"r.dll\""), &args));
  EXPECT_EQ("r.dll", args.resource_library);
}

}  // namespace

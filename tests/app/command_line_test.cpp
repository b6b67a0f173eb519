// Command-line splitting, numbers, mode choice and the uninstall stages' argument checks.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "uninstall/stage_args.h"
#include "util/messages.h"
#include "util/run_options.h"

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;

Args split(const char *line) {
  CommandWords words(line);
  Args args;
  for (uint32_t i = 0; i < words.count(); ++i) args.push_back(words[i]);
  return args;
}

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
  for (const Case &c : cases) EXPECT_EQ(c.expected, split(c.line)) << c.line;
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
  EXPECT_EQ(MODE_INSTALL, choose_mode(CommandWords("setup.exe")));
  EXPECT_EQ(MODE_UNINSTALL_FIRST, choose_mode(CommandWords("setup.exe -u1")));
  EXPECT_EQ(MODE_UNINSTALL_FIRST, choose_mode(CommandWords("setup.exe -U1")));
  EXPECT_EQ(MODE_UNINSTALL_SECOND, choose_mode(CommandWords("setup.exe -u2")));
  EXPECT_EQ(MODE_UNINSTALL_SECOND, choose_mode(CommandWords("setup.exe -U2")));
  EXPECT_EQ(MODE_INSTALL, choose_mode(CommandWords("setup.exe /anything")));
  EXPECT_EQ(MODE_UNINSTALL_FIRST, choose_mode(CommandWords("setup.exe anything")));
}

TEST(CommandLine, FirstStageArguments) {
  FirstStageArgs args;
  args.product_name = "untouched";
  EXPECT_EQ(0, take_first_stage_args(CommandWords("setup.exe -u1"), &args));
  EXPECT_EQ(0, take_first_stage_args(CommandWords("setup.exe -u1 P"), &args));
  EXPECT_STREQ("untouched", args.product_name.c_str());
  ASSERT_EQ(1, take_first_stage_args(CommandWords("C:\\P\\setup.exe -u1 \"Tool Box\" 1"), &args));
  EXPECT_STREQ("Tool Box", args.product_name.c_str());
  EXPECT_EQ(1, args.n);
  EXPECT_STREQ("", args.resource_library.c_str());
  ASSERT_EQ(1, take_first_stage_args(CommandWords("s -u1 \"P\" 0 \"res lib.dll\""), &args));
  EXPECT_EQ(0, args.n);
  EXPECT_STREQ("res lib.dll", args.resource_library.c_str());
}

TEST(CommandLine, SecondStageArguments) {
  SecondStageArgs args;
  EXPECT_EQ(0, take_second_stage_args(CommandWords("s -u2 120 \"C:\\P\" 0"), &args));
  EXPECT_STREQ("", args.product_name.c_str());
  ASSERT_EQ(1, take_second_stage_args(CommandWords("C:\\TEMP\\\\setup.exe -u2 120 \"C:\\P Q\" 1 \"Tool Box\""),
                                      &args));
  EXPECT_EQ(120u, args.process);
  EXPECT_STREQ("C:\\P Q", args.directory.c_str());
  EXPECT_EQ(1, args.n);
  EXPECT_STREQ("Tool Box", args.product_name.c_str());
  EXPECT_STREQ("", args.resource_library.c_str());
  ASSERT_EQ(1, take_second_stage_args(CommandWords("s -u2 1 \"d\" 0 \"P\" \"r.dll\""), &args));
  EXPECT_STREQ("r.dll", args.resource_library.c_str());
}

TEST(CommandLine, SwitchesAreTakenAfterThePositionalForm) {
  struct Case {
    const char *line;
    RunMode mode;
    bool known;
    const char *unknown, *dir, *group, *log;
    bool silent;
  } cases[] = {
      {"s /silent", MODE_INSTALL, true, "", "", "", "", true},
      {"s /SILENT \"/dir=C:\\a b\" /group=G /Log=x.log", MODE_INSTALL, true, "", "C:\\a b", "G", "x.log", true},
      {"s /dir=\"C:\\q\" /bogus /x", MODE_INSTALL, false, "/bogus", "C:\\q", "", "", false},
      {"s /dir=", MODE_INSTALL, false, "/dir=", "", "", "", false},
      {"s /silentx", MODE_INSTALL, false, "/silentx", "", "", "", false},
      {"s -u1 /silent 0", MODE_UNINSTALL_FIRST, true, "", "", "", "", false},
      {"s -u1 P 0 lib.dll /silent /log=u.log", MODE_UNINSTALL_FIRST, true, "", "", "", "u.log", true},
      {"s -u2 1 d 0 /silent /silent", MODE_UNINSTALL_SECOND, true, "", "", "", "", true},
  };
  for (const Case &c : cases) {
    CommandWords args(c.line);
    ASSERT_EQ(c.mode, choose_mode(args)) << c.line;
    RunOptions options;
    String unknown;
    EXPECT_EQ(c.known, take_run_options(args, first_switch_argument(c.mode), &options, &unknown) != 0) << c.line;
    EXPECT_STREQ(c.unknown, unknown.c_str()) << c.line;
    EXPECT_STREQ(c.dir, options.install_dir.c_str()) << c.line;
    EXPECT_STREQ(c.group, options.start_menu_folder.c_str()) << c.line;
    EXPECT_STREQ(c.log, options.log_path.c_str()) << c.line;
    EXPECT_EQ(c.silent, options.silent) << c.line;
  }
  FirstStageArgs first;
  ASSERT_EQ(1, take_first_stage_args(CommandWords("s -u1 P 0 /silent"), &first));
  EXPECT_STREQ("", first.resource_library.c_str());
}

TEST(CommandLine, SilentRunsGiveEachBoxItsDefaultButNeverRetry) {
  struct Case {
    UINT type;
    int answer;
  } cases[] = {
      {MB_OK, IDOK},
      {MB_YESNO | MB_ICONQUESTION, IDYES},
      {MB_YESNO | MB_DEFBUTTON2, IDNO},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_RETRYCANCEL, IDCANCEL},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDABORT},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE},
      {MB_OK | MB_DEFBUTTON4, IDOK},
  };
  for (const Case &c : cases) EXPECT_EQ(c.answer, answer_message_box_silently(nullptr, "t", "c", c.type)) << c.type;
}

}  // namespace

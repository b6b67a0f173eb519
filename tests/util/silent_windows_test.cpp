// A silent run answers the message boxes a hook opens: each is logged and given its default
// button, a Retry never; outside a silent run nothing is watched.
#include <gtest/gtest.h>

#include "support/scratch.h"
#include "util/action_log.h"
#include "util/run_options.h"
#include "util/silent_windows.h"

namespace {

TEST(SilentWindows, AMessageBoxGetsItsDefaultButtonAndALogLine) {
  ScratchDir scratch("silent_windows");
  std::string log = scratch.file("run.log");
  ASSERT_EQ(1, log_open(log.c_str(), false));
  RunOptions options;
  options.silent = true;
  set_run_options(options);
  const struct {
    UINT type;
    int expected;
    const char *answered;
  } cases[] = {
      {MB_OK | MB_ICONWARNING, IDOK, "(answered OK)"},
      {MB_YESNO | MB_DEFBUTTON2, IDNO, "(answered No)"},
      {MB_YESNOCANCEL, IDYES, "(answered Yes)"},
      {MB_RETRYCANCEL, IDCANCEL, "(answered Cancel)"},
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDABORT, "(answered Abort)"},
  };
  for (const auto &c : cases) {
    SilentWindowScope watch("TestHook");
    EXPECT_EQ(c.expected, MessageBoxA(nullptr, "The folder must not hold a blank.", "Hook box", c.type)) << c.type;
  }
  set_run_options(RunOptions());
  log_close();
  std::string text = read_file(log);
  for (const auto &c : cases)
    EXPECT_NE(std::string::npos, text.find(std::string("hook TestHook: window \"Hook box\": The folder must not hold a blank. ") +
                                           c.answered))
        << c.answered << " in:\n" << text;
}

}  // namespace

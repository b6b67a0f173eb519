// Where the Help button looks for the help page.
#include <gtest/gtest.h>

#include <cstring>

#include "tuner_help.h"

namespace {

TEST(TunerHelp, HelpPageLiesInHelpBesideTheProgram) {
  char path[600];
  ASSERT_EQ(1, help_file_path("C:\\Program Files\\Skellan\\tuner.exe", path, sizeof path));
  EXPECT_STREQ("C:\\Program Files\\Skellan\\\\Help\\index.htm", path);
  ASSERT_EQ(1, help_file_path("C:\\tuner.exe", path, sizeof path));
  EXPECT_STREQ("C:\\\\Help\\index.htm", path);
}

TEST(TunerHelp, NoDirectoryOrNoRoomLeavesOutputAlone) {
  char path[32] = "keep";
  EXPECT_EQ(0, help_file_path("tuner.exe", path, sizeof path));
  EXPECT_EQ(0, help_file_path("\\tuner.exe", path, sizeof path));  // the search stops above index 0
  EXPECT_EQ(0, help_file_path("C:\\Program Files\\Skellan\\tuner.exe", path, sizeof path));
  EXPECT_STREQ("keep", path);
  const char *module = "C:\\a\\t.exe";
  size_t need = std::strlen("C:\\a\\\\Help\\index.htm") + 1;
  EXPECT_EQ(0, help_file_path(module, path, need - 1));
  EXPECT_EQ(1, help_file_path(module, path, need));
}

}  // namespace

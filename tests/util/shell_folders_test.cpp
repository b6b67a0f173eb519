// Shell folder lookups: the shell's own answer and the registry's Programs entries.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "sdk/reg_key.h"
#include "sdk/utilities.h"

namespace {

const char *kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST(GetSpecialFolderch, GivesAnExistingFolderOrLeavesOutputAlone) {
  char programs[MAX_PATH] = "keep";
  GetSpecialFolderch(CSIDL_PROGRAMS, programs);
  EXPECT_STRNE("keep", programs);
  DWORD attributes = GetFileAttributesA(programs);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes) << programs;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << programs;
  char start[MAX_PATH] = "keep";
  get_win95_startpath(start);
  EXPECT_STREQ(programs, start);
  char unknown[MAX_PATH] = "keep";
  GetSpecialFolderch(0x7E, unknown);
  EXPECT_STREQ("keep", unknown);
}

// Sets the Programs entry get_programs_path reads on this system, restoring it afterwards.
class GetProgramsPath : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = is_this_win95() ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    name_ = is_this_win95() ? "Programs" : "Common Programs";
    ASSERT_EQ(1, key_.Create(root_, kShellFolders));
    had_value_ = key_.GetString(name_, saved_, sizeof saved_);
  }
  void TearDown() override {
    if (had_value_) {
      key_.SetString(name_, saved_);
    } else {
      key_.Delete(name_);
    }
  }
  HKEY root_ = nullptr;
  const char *name_ = nullptr;
  kRegKey key_;
  char saved_[MAX_PATH] = "";
  int had_value_ = 0;
};

TEST_F(GetProgramsPath, GivesTheRegisteredFolder) {
  ASSERT_EQ(1, key_.SetString(name_, "C:\\Shared Menu\\Programs"));
  char out[MAX_PATH] = "keep";
  EXPECT_EQ(1, get_programs_path(out));
  EXPECT_STREQ("C:\\Shared Menu\\Programs", out);
}

TEST_F(GetProgramsPath, MissingValueGivesAnEmptyPath) {
  key_.Delete(name_);
  char out[MAX_PATH] = "keep";
  EXPECT_EQ(1, get_programs_path(out));
  EXPECT_STREQ("", out);
}

TEST_F(GetProgramsPath, OverlongValueGivesAnEmptyPath) {
  std::string overlong = "C:\\" + std::string(300, 'p');
  ASSERT_EQ(1, key_.SetString(name_, overlong.c_str()));
  char out[MAX_PATH] = "keep";
  EXPECT_EQ(1, get_programs_path(out));
  EXPECT_STREQ("", out);
}

}  // namespace

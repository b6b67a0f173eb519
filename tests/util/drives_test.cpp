// Drive helpers against the prefix's real drives and the real Program Files setting.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sdk/reg_key.h"
#include "sdk/utilities.h"

namespace {

const char *kVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

char unused_drive_letter() {
  DWORD drives = GetLogicalDrives();
  for (char letter = 'Y'; letter > 'C'; --letter)
    if (!(drives & (1u << (letter - 'A')))) return letter;
  return 0;
}

TEST(GetDrivePath, TakesTheFirstThreeCharactersOfLongerPaths) {
  struct Case {
    const char *path, *expected;
  } cases[] = {
      {"C:\\Program Files\\Tuner", "C:\\"}, {"D:\\", "D:\\"}, {"C:x", "C:x"}, {"C:", "keep"}, {"", "keep"}};
  for (const Case &c : cases) {
    char out[MAX_PATH] = "keep";
    get_drive_path(c.path, out);
    EXPECT_STREQ(c.expected, out) << c.path;
  }
}

TEST(FindFirstDrive, FindsTheFirstFixedDisk) {
  char out[MAX_PATH] = "keep";
  ASSERT_EQ(1, find_first_drive(out));
  EXPECT_EQ(3u, strlen(out));
  EXPECT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA(out));
  for (char letter = 'A'; letter < out[0]; ++letter) {
    char root[4] = {letter, ':', '\\', 0};
    EXPECT_NE(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA(root)) << root;
  }
}

// Runs with ProgramFilesDir set to value (null: removed), restoring the real value afterwards.
class FindProgramFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, key_.Open(HKEY_LOCAL_MACHINE, kVersionKey));
    had_value_ = key_.GetString("ProgramFilesDir", saved_, sizeof saved_);
  }
  void TearDown() override {
    if (had_value_) {
      key_.SetString("ProgramFilesDir", saved_);
    } else {
      key_.Delete("ProgramFilesDir");
    }
  }
  void set(const char *value) {
    if (value) {
      ASSERT_EQ(1, key_.SetString("ProgramFilesDir", value));
    } else {
      key_.Delete("ProgramFilesDir");
    }
  }
  kRegKey key_;
  char saved_[MAX_PATH] = "";
  int had_value_ = 0;
};

TEST_F(FindProgramFiles, GivesTheDriveRootOfTheValue) {
  set("D:\\Applications");
  char out[MAX_PATH] = "keep";
  EXPECT_EQ(1, find_program_files(out));
  EXPECT_STREQ("D:\\", out);
}

TEST_F(FindProgramFiles, MissingOrRootlessValueGivesZeroAndLeavesOutputAlone) {
  const char *values[] = {nullptr, "", "C:", "Program Files", "\\\\server\\share\\Program Files",
                          "%SystemDrive%\\Program Files"};
  for (const char *value : values) {
    set(value);
    char out[MAX_PATH] = "keep";
    EXPECT_EQ(0, find_program_files(out)) << (value ? value : "(removed)");
    EXPECT_STREQ("keep", out);
  }
}

TEST(GetDriveInfo, MeasuresTheSystemDiskInMegabytes) {
  unsigned long total = 0, free = 0, used = 0;
  ASSERT_EQ(1, get_drive_info("C:\\", &total, &free, &used));
  ULARGE_INTEGER available, total_bytes, free_bytes;
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total_bytes, &free_bytes));
  EXPECT_EQ(total_bytes.QuadPart / (1024 * 1024), total);
  // Free space moves while other programs write; allow a little drift.
  unsigned long expected_free = static_cast<unsigned long>(free_bytes.QuadPart / (1024 * 1024));
  EXPECT_LE(free > expected_free ? free - expected_free : expected_free - free, 16ul);
  EXPECT_GT(total, 0ul);
  EXPECT_LE(free, total);
  // used comes from the kilobyte totals, so it may differ from total - free by one.
  EXPECT_LE(total - free - used, 1ul);
}

TEST(GetDriveInfo, MissingDriveGivesZeroAndLeavesResultsAlone) {
  char letter = unused_drive_letter();
  ASSERT_NE(0, letter);
  char root[4] = {letter, ':', '\\', 0};
  unsigned long total = 11, free = 22, used = 33;
  EXPECT_EQ(0, get_drive_info(root, &total, &free, &used));
  EXPECT_EQ(0, get_drive_info("C:\\no such folder\\", &total, &free, &used));
  EXPECT_EQ(11ul, total);
  EXPECT_EQ(22ul, free);
  EXPECT_EQ(33ul, used);
}

}  // namespace

// create_path on real folders: what it creates, in which order it records it, where it stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fresh_info.h"
#include "sdk/utilities.h"
#include "support/scratch.h"

namespace {

std::string repeat(const char *unit, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += unit;
  return text;
}

class CreatePath : public ::testing::Test {
 protected:
  // The directory items recorded so far, in record order.
  std::vector<std::string> recorded_dirs() {
    std::vector<std::string> dirs;
    for (const UninstallInfo &item : info_->uninstall_items) {
      EXPECT_EQ(RECORD_DIR, item.kind);
      dirs.push_back(item.value.c_str());
    }
    return dirs;
  }

  ScratchDir scratch_{"create_path"};
  FreshInfo info_;
};

TEST_F(CreatePath, CreatesAndRecordsOnlyTheMissingLevelsOutermostFirst) {
  ASSERT_TRUE(CreateDirectoryA(scratch_.file("a").c_str(), nullptr));
  std::string path = scratch_.file("a\\b\\c");
  std::string caller = path;
  EXPECT_EQ(1, create_path(info_.get(), &caller[0], 1));
  EXPECT_EQ(path, caller);
  EXPECT_TRUE(dir_exists(scratch_.file("a\\b")));
  EXPECT_TRUE(dir_exists(path));
  std::vector<std::string> expected = {scratch_.file("a\\b"), path};
  EXPECT_EQ(expected, recorded_dirs());
}

TEST_F(CreatePath, RecordsNothingWithoutTheFlagOrWhenAllExists) {
  std::string path = scratch_.file("x\\y");
  EXPECT_EQ(1, create_path(info_.get(), path.c_str(), 0));
  EXPECT_TRUE(dir_exists(path));
  EXPECT_EQ(1, create_path(info_.get(), path.c_str(), 1));
  EXPECT_EQ(0u, info_->uninstall_items.size());
  EXPECT_EQ(1, create_path(nullptr, scratch_.file("x\\z").c_str(), 1));
  EXPECT_TRUE(dir_exists(scratch_.file("x\\z")));
}

TEST_F(CreatePath, StopsBeforeCreatingAnythingWhenALevelIsAFile) {
  ASSERT_TRUE(write_file(scratch_.file("f"), "x"));
  EXPECT_EQ(0, create_path(info_.get(), scratch_.file("f\\g\\h").c_str(), 1));
  EXPECT_EQ(0, create_path(info_.get(), scratch_.file("f").c_str(), 1));
  EXPECT_TRUE(file_exists(scratch_.file("f")));
  EXPECT_EQ(0u, info_->uninstall_items.size());
}

// The same folder written twice (doubled or trailing backslash) is created and recorded once.
TEST_F(CreatePath, SameFolderWrittenTwiceIsCreatedOnce) {
  EXPECT_EQ(1, create_path(info_.get(), scratch_.file("p\\\\q\\").c_str(), 1));
  EXPECT_TRUE(dir_exists(scratch_.file("p\\q")));
  std::vector<std::string> expected = {scratch_.file("p"), scratch_.file("p\\\\q")};
  EXPECT_EQ(expected, recorded_dirs());
}

// A level that cannot be made (a name the file system refuses) stops the walk; what was
// made before it stays and stays recorded.
TEST_F(CreatePath, KeepsAndRecordsWhatItMadeBeforeAFailure) {
  std::string path = scratch_.file("made\\bad?name\\never");
  EXPECT_EQ(0, create_path(info_.get(), path.c_str(), 1));
  EXPECT_TRUE(dir_exists(scratch_.file("made")));
  EXPECT_FALSE(dir_exists(scratch_.file("made\\bad?name\\never")));
  std::vector<std::string> expected = {scratch_.file("made")};
  EXPECT_EQ(expected, recorded_dirs());
}

// Paths the level table or the file functions cannot hold are refused before anything is made.
class CreatePathLimits : public ::testing::Test {
 protected:
  // A short root of its own, so that 127 levels still fit in MAX_PATH - 1 characters.
  void SetUp() override { delete_dir_tree(kRoot); }
  void TearDown() override { delete_dir_tree(kRoot); }
  const char *kRoot = "C:\\q";
  FreshInfo info_;
};

TEST_F(CreatePathLimits, CreatesA127LevelPath) {
  std::string path = "C:" + repeat("\\q", 127);
  ASSERT_EQ(256u, path.size());
  EXPECT_EQ(1, create_path(info_.get(), path.c_str(), 1));
  EXPECT_TRUE(dir_exists(path));
  EXPECT_EQ(127u, info_->uninstall_items.size());
}

TEST_F(CreatePathLimits, RefusesMoreThan127BackslashesAndOverlongPathsCreatingNothing) {
  const std::string paths[] = {
      "C:" + repeat("\\q", 128),
      "C:" + repeat("\\q", 200).substr(0, 257),
      "C:\\q\\" + std::string(255, 'n'),
      "C:" + repeat("\\q", 511),
  };
  for (const std::string &path : paths) {
    std::string caller = path;
    EXPECT_EQ(0, create_path(info_.get(), &caller[0], 1)) << path.size();
    EXPECT_EQ(path, caller);
    EXPECT_FALSE(dir_exists(kRoot)) << path.size();
  }
  EXPECT_EQ(0u, info_->uninstall_items.size());
}

}  // namespace

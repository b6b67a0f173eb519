// validate_text, validate_path and path_is_ok against real files, real drives and every limit.
#include <gtest/gtest.h>

#include <string>

#include "sdk/utilities.h"
#include "util/path_checks.h"
#include "support/scratch.h"

namespace {

// A drive letter that no drive uses in this prefix.
char unused_drive_letter() {
  DWORD drives = GetLogicalDrives();
  for (char letter = 'Y'; letter > 'C'; --letter)
    if (!(drives & (1u << (letter - 'A')))) return letter;
  return 0;
}

std::string repeat(const char *unit, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += unit;
  return text;
}

// "C:\x" grown with plain letters to exactly length characters.
std::string path_of_length(size_t length) {
  std::string path = "C:\\zindle-missing\\";
  path.append(length - path.size(), 'n');
  return path;
}

TEST(ValidateText, RefusesNullAndEachReservedCharacterAnywhere) {
  EXPECT_EQ(0, validate_text(nullptr));
  EXPECT_EQ(1, validate_text(""));
  EXPECT_EQ(1, validate_text("My Product 2.0 (beta), new: a\\b"));
  for (const char *c = "/*?\"<>|"; *c; ++c) {
    for (const char *shape : {"%c", "%cname", "na%cme", "name%c"}) {
      char text[16];
      snprintf(text, sizeof text, shape, *c);
      EXPECT_EQ(0, validate_text(text)) << text;
    }
  }
}

struct PathCase {
  const char *path;
  int allow_root;
  int any_drive;
  int expected;
};

TEST(PathIsOk, RulesInOrder) {
  const PathCase cases[] = {
      {"C:\\", 0, 0, 0},                     // a drive root needs the allow-root flag
      {"C:\\", 1, 0, 1},
      {"C:", 1, 0, 0},                       // too short even for a root
      {"C:\\a", 0, 0, 1},
      {"C:\\Program Files\\Tuner", 0, 0, 1},  // blanks inside names are fine
      {"C:\\a\\", 0, 0, 0},                   // trailing backslash
      {"C:\\a\\", 1, 0, 0},
      {"C:\\ab ", 0, 0, 0},                   // trailing space
      {"C:\\a\\\\b", 0, 0, 0},                // doubled backslash
      {"C:\\a \\b", 0, 0, 0},                 // blank before a backslash
      {"CC\\ab", 0, 1, 0},                    // no colon
      {"C;\\ab", 0, 1, 0},
      {"\\\\server\\share", 0, 1, 0},
      {"C:\\a*b", 0, 0, 0},
      {"C:\\a/b", 0, 0, 0},
      {"C:\\a?b", 0, 0, 0},
      {"C:\\a\"b", 0, 0, 0},
      {"C:\\a<b", 0, 0, 0},
      {"C:\\a>b", 0, 0, 0},
      {"C:\\a|b", 0, 0, 0},
      {nullptr, 1, 1, 0},
  };
  for (const PathCase &c : cases)
    EXPECT_EQ(c.expected, path_is_ok(c.path, c.allow_root, c.any_drive))
        << (c.path ? c.path : "(null)") << " root " << c.allow_root << " any " << c.any_drive;
}

// Names Windows will not create, wherever they stand; the first such name is reported.
TEST(PathIsOk, RefusesNamesWindowsRefuses) {
  const struct {
    const char *path;
    const char *refused;  // "" when every name can be made
  } cases[] = {
      {"C:\\PP2C:\\X", "PP2C:"},       {"C:\\PixelPaint2C:\\My Paint", "PixelPaint2C:"},
      {"C:\\a\\b:", "b:"},            {"C:\\CON\\x", "CON"},
      {"C:\\a\\lpt1", "lpt1"},        {"C:\\a\\Com9.txt\\b", "Com9.txt"},
      {"C:\\nul.", "nul."},             {"C:\\a.\\b", "a."},
      {"C:\\a\\..\\b", ".."},         {"C:\\Tools\\Console", ""},
      {"C:\\COM10", ""},              {"C:\\LPT0\\CONX", ""},
      {"C:\\Program Files\\Tuner", ""}, {"C:\\a.b\\c", ""},
  };
  for (const auto &c : cases) {
    char name[MAX_PATH] = "untouched";
    EXPECT_EQ(c.refused[0] ? 1 : 0, first_refused_name(c.path, name, sizeof name)) << c.path;
    if (c.refused[0]) {
      EXPECT_STREQ(c.refused, name) << c.path;
      EXPECT_EQ(0, path_is_ok(c.path, 0, 1)) << c.path;
    }
  }
}

TEST(PathIsOk, RefusesACommaInEveryPosition) {
  const std::string base = "C:\\abc\\def";
  for (size_t at = 0; at <= base.size(); ++at) {
    std::string path = base;
    path.insert(at, ",");
    EXPECT_EQ(0, path_is_ok(path.c_str(), 1, 1)) << path;
  }
}

TEST(PathIsOk, DriveMustBeFixedUnlessAnyDriveIsAllowed) {
  char letter = unused_drive_letter();
  ASSERT_NE(0, letter);
  std::string path = std::string(1, letter) + ":\\Tuner";
  EXPECT_EQ(0, path_is_ok(path.c_str(), 0, 0));
  EXPECT_EQ(1, path_is_ok(path.c_str(), 0, 1));
}

TEST(PathIsOk, RefusesAPathThroughAnExistingFile) {
  ScratchDir scratch("path_is_ok_file");
  ASSERT_TRUE(write_file(scratch.file("tuner"), "x"));
  EXPECT_EQ(0, path_is_ok(scratch.file("tuner\\bin").c_str(), 0, 0));
  EXPECT_EQ(1, path_is_ok(scratch.file("other\\bin").c_str(), 0, 0));
}

class ValidatePath : public ::testing::Test {
 protected:
  ScratchDir scratch_{"validate_path"};
};

TEST_F(ValidatePath, RefusesOnlyWhenALeadingPartIsAFile) {
  ASSERT_TRUE(CreateDirectoryA(scratch_.file("dir").c_str(), nullptr));
  ASSERT_TRUE(write_file(scratch_.file("dir\\file"), "x"));
  EXPECT_EQ(1, validate_path(scratch_.file("dir").c_str()));
  EXPECT_EQ(1, validate_path(scratch_.file("dir\\new\\deeper").c_str()));
  EXPECT_EQ(1, validate_path(scratch_.file("missing\\a\\b").c_str()));
  EXPECT_EQ(0, validate_path(scratch_.file("dir\\file").c_str()));
  EXPECT_EQ(0, validate_path(scratch_.file("dir\\file\\sub").c_str()));
  EXPECT_EQ(0, validate_path(scratch_.file("dir\\file\\sub\\deeper").c_str()));
}

TEST_F(ValidatePath, LeavesTheCallersTextAsItWas) {
  ASSERT_TRUE(write_file(scratch_.file("file"), "x"));
  std::string refused = scratch_.file("file\\a\\b");
  std::string accepted = scratch_.file("a\\b\\c");
  std::string refused_copy = refused, accepted_copy = accepted;
  EXPECT_EQ(0, validate_path(&refused[0]));
  EXPECT_EQ(1, validate_path(&accepted[0]));
  EXPECT_EQ(refused_copy, refused);
  EXPECT_EQ(accepted_copy, accepted);
}

// The file functions take at most MAX_PATH - 1 characters: a longer path is refused, not cut.
TEST(PathLimits, LengthUpTo259IsCheckedLongerIsRefused) {
  std::string at_limit = path_of_length(259), past_limit = path_of_length(260);
  std::string longest = path_of_length(1023);
  EXPECT_EQ(1, validate_path(at_limit.c_str()));
  EXPECT_EQ(1, path_is_ok(at_limit.c_str(), 0, 0));
  EXPECT_EQ(0, validate_path(past_limit.c_str()));
  EXPECT_EQ(0, path_is_ok(past_limit.c_str(), 0, 0));
  EXPECT_EQ(0, validate_path(longest.c_str()));
  EXPECT_EQ(0, path_is_ok(longest.c_str(), 0, 0));
}

// 127 backslashes after the first character fill the table with the whole path; one more is refused.
TEST(PathLimits, UpTo127BackslashesAreCheckedMoreAreRefused) {
  std::string fits = "C:" + repeat("\\a", 127);
  std::string one_more = "C:" + repeat("\\a", 128);
  std::string many = "C:" + repeat("\\", 200);
  std::string long_many = "C:" + repeat("\\ab", 340);
  EXPECT_EQ(1, validate_path(fits.c_str()));
  EXPECT_EQ(1, path_is_ok(fits.c_str(), 0, 0));
  EXPECT_EQ(0, validate_path(one_more.c_str()));
  EXPECT_EQ(0, path_is_ok(one_more.c_str(), 0, 0));
  EXPECT_EQ(0, validate_path(many.c_str()));
  EXPECT_EQ(0, validate_path(long_many.c_str()));
  EXPECT_EQ(0, validate_path(nullptr));
}

// The first character never counts: a path starting with a backslash has one more in the table.
TEST(PathLimits, LeadingBackslashIsNotCounted) {
  std::string path = repeat("\\a", 128);
  EXPECT_EQ(1, validate_path(path.c_str()));
  path += "\\a";
  EXPECT_EQ(0, validate_path(path.c_str()));
}

}  // namespace

// The text rules of the install steps: destination values, Start-menu folder splitting, the
// kept "user" key and the association question's template.
#include <gtest/gtest.h>

#include <string>

#include "install/associations.h"
#include "install/file_copy.h"
#include "install/registry_entries.h"
#include "install/start_menu.h"
#include "sdk/setup_info.h"
#include "util/start_menu_folder.h"

namespace {

std::string windows_dir() {
  char dir[MAX_PATH];
  GetWindowsDirectoryA(dir, sizeof dir);
  return dir;
}

std::string system_dir() {
  char dir[MAX_PATH];
  GetSystemDirectoryA(dir, sizeof dir);
  return dir;
}

struct DestinationCase {
  const char *install_dir;
  const char *value;
  bool resolves;
  std::string expected;
};

TEST(ResolveDestination, MapsEachPrefixAndRefusesWhatNamesNoPlace) {
  const DestinationCase cases[] = {
      {"D:\\Prog\\X", "bin\\x.exe", true, "D:\\Prog\\X\\bin\\x.exe"},
      {"D:\\Prog\\X", "%1sub\\name.txt", true, windows_dir() + "\\sub\\name.txt"},
      {"D:\\Prog\\X", "%2name.dll", true, system_dir() + "\\name.dll"},
      {"D:\\Prog\\X", "%3name.txt", true, "D:\\name.txt"},
      {"D:\\Prog\\X", "", true, "D:\\Prog\\X\\"},
      // Only the first two characters are a prefix: the rest is taken as written.
      {"D:\\Prog\\X", "%1", true, windows_dir() + "\\"},
      {"D:\\Prog\\X", "a%1b", true, "D:\\Prog\\X\\a%1b"},
      // A '%' with no directory code names no place at all.
      {"D:\\Prog\\X", "%4name.dll", false, ""},
      {"D:\\Prog\\X", "%%name.dll", false, ""},
      {"D:\\Prog\\X", "%", false, ""},
      {"D:\\Prog\\X", "%x", false, ""},
      // Without an install directory neither a relative value nor the drive root can be formed.
      {"", "bin\\x.exe", false, ""},
      {"D:", "%3name.txt", false, ""},
      {"", "%1name.txt", true, windows_dir() + "\\name.txt"},
  };
  for (const DestinationCase &c : cases) {
    SetupInfo info;
    info.install_dir = c.install_dir;
    String out = "untouched";
    EXPECT_EQ(c.resolves ? 1 : 0, resolve_destination(&info, c.value, &out)) << c.value;
    EXPECT_EQ(c.resolves ? c.expected : std::string("untouched"), out.c_str()) << c.value;
  }
}

TEST(SplitFolderName, SplitsAtTheFirstBackslashKeepingItInTheRest) {
  const struct {
    const char *folder, *first, *rest;
  } cases[] = {
      {"Tools", "Tools", ""},
      {"Tools\\Sub\\More", "Tools", "\\Sub\\More"},
      {"\\Lead", "", "\\Lead"},
      {"Trail\\", "Trail", "\\"},
      {"", "", ""},
  };
  for (const auto &c : cases) {
    String first = "x", rest = "y";
    split_folder_name(c.folder, &first, &rest);
    EXPECT_STREQ(c.first, first.c_str()) << c.folder;
    EXPECT_STREQ(c.rest, rest.c_str()) << c.folder;
  }
}

TEST(KeptUserKey, OnlyALastComponentNamedUserInAnyCase) {
  const struct {
    const char *key;
    int kept;
  } cases[] = {
      {"Software\\X\\User", 1}, {"Software\\X\\user", 1}, {"Software\\X\\USER", 1},
      {"Software\\X\\Users", 0}, {"Software\\User\\X", 0}, {"User", 0},
      {"Software\\X\\", 0},     {"", 0},
  };
  for (const auto &c : cases) EXPECT_EQ(c.kept, is_kept_user_key(c.key)) << c.key;
}

TEST(AssociationQuestion, FillsTwoTextsAndNeverReadsMore) {
  const struct {
    const char *templ;
    size_t size;
    const char *expected;
  } cases[] = {
      {"ext %s prod %s", 64, "ext .abc prod Prod"},
      {"%s %s %s %d %x", 64, ".abc Prod %s %d %x"},
      {"100%% sure: %s", 64, "100% sure: .abc"},
      {"no fills", 64, "no fills"},
      {"ext %s prod %s", 9, "ext .abc"},
      {"trailing %", 64, "trailing %"},
  };
  for (const auto &c : cases) {
    char out[64];
    memset(out, 'Z', sizeof out);
    fill_two_texts(c.templ, ".abc", "Prod", out, c.size);
    EXPECT_STREQ(c.expected, out) << c.templ;
  }
}

}  // namespace

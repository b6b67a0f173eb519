// The licence page: license.txt from the source directory shown unchanged; without it the wizard
// ends as if cancelled; a huge file is shown up to its first megabyte.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "support/message_recorder.h"
#include "support/scratch.h"
#include "wizard/page_harness.h"

namespace {

class LicensePage : public ::testing::Test {
 protected:
  LicensePage() : folder_("wizard_license") {
    page::use_own_resources(&info_);
    info_.source_dir = folder_.path().c_str();
  }

  INT_PTR run(page::Script script) { return page::run(IDD_LICENSE, license_dialog_proc, &info_, script); }

  ScratchDir folder_;
  SetupInfo info_;
};

std::string edit_text(HWND edit) {
  std::vector<char> text(GetWindowTextLengthA(edit) + 1);
  GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
  return std::string(text.data());
}

TEST_F(LicensePage, ShowsTheFileAsItIsWithNothingSelected) {
  const std::string texts[] = {
      "END-USER LICENSE\r\n\r\n1. Grant.\tYou may use it.\r\n2. Geb\xFChr: none.\r\n",
      "Lines ending\nin line feeds only\n",
      "",
  };
  for (const std::string &content : texts) {
    ASSERT_TRUE(write_file(folder_.file("license.txt"), content));
    INT_PTR code = run([&](HWND dialog) {
      HWND edit = GetDlgItem(dialog, IDC_LICENSE_TEXT);
      EXPECT_EQ(edit_text(edit), content);
      DWORD start = 1, end = 2;
      SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
      EXPECT_EQ(start, end);
      page::click(dialog, IDOK);
    });
    EXPECT_EQ(code, IDOK);
  }
}

// No licence to agree to: the page never shows, ends with Cancel and asks nothing.
TEST_F(LicensePage, WithoutTheFileEndsAsCancelledAtOnce) {
  struct Case {
    const char *what;
    std::string source_dir;
  };
  const Case cases[] = {
      {"no license.txt", folder_.path()},
      {"missing folder", folder_.file("gone")},
      {"folder name too long for a path", folder_.path() + "\\" + std::string(300, 'd')},
  };
  for (const Case &c : cases) {
    info_.source_dir = c.source_dir.c_str();
    MessageRecorder recorder(IDOK);
    EXPECT_EQ(run([](HWND dialog) { page::click(dialog, IDOK); }), IDCANCEL) << c.what;
    EXPECT_FALSE(page::script_ran()) << c.what;
    EXPECT_TRUE(recorder.boxes().empty()) << c.what;
  }
}

TEST_F(LicensePage, HugeFileIsShownUpToItsFirstMegabyte) {
  std::string content;
  while (content.size() < 1536 * 1024) content += "This line of the licence repeats to make a very large file.\r\n";
  ASSERT_TRUE(write_file(folder_.file("license.txt"), content));
  INT_PTR code = run([&](HWND dialog) {
    std::string shown = edit_text(GetDlgItem(dialog, IDC_LICENSE_TEXT));
    EXPECT_EQ(shown.size(), 1024u * 1024u);
    EXPECT_TRUE(shown == content.substr(0, shown.size()));
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
}

}  // namespace

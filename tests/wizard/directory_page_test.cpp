// The install directory page: when Next is offered, the space display, what Next keeps, and the
// folder browser.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "gtest/gtest.h"
#include "sdk/utilities.h"
#include "support/scratch.h"
#include "wizard/page_harness.h"

namespace {

class DirectoryPage : public ::testing::Test {
 protected:
  DirectoryPage() : folder_("wizard_directory") {
    page::use_own_resources(&info_);
    info_.install_dir = "C:\\Program Files\\Tuner";
  }

  INT_PTR run(page::Script script) { return page::run(IDD_DIRECTORY, directory_dialog_proc, &info_, script); }

  ScratchDir folder_;
  SetupInfo info_;
};

// "N KB" as a number; -1 when the text is not of that form.
long long kilobytes(const std::string &text) {
  char *end = nullptr;
  long long value = strtoll(text.c_str(), &end, 10);
  if (end == text.c_str() || std::string(end) != " KB") return -1;
  return value;
}

unsigned long free_kb_of_c() {
  unsigned long total = 0, free_mb = 0, used = 0;
  return get_drive_info("C:\\", &total, &free_mb, &used) ? free_mb * 1024 : 0;
}

TEST_F(DirectoryPage, NextOfferedOnlyForAUsablePathWithRoom) {
  ASSERT_TRUE(write_file(folder_.file("plainfile"), "x"));
  struct Case {
    std::string typed;
    bool next;
    bool measured;  // the drive's free space is shown
  };
  const Case cases[] = {
      {"C:\\Program Files\\Tuner", true, true},
      {"C:\\Apps", true, true},
      {"C:\\", false, true},
      {"C:\\Program Files\\Tuner\\", false, true},
      {"C:\\Program Files\\Tuner ", false, true},
      {"C:\\Tu*ner", false, true},
      {"C:\\Program Files\\\\Tuner", false, true},
      {folder_.file("plainfile") + "\\Tuner", false, true},  // a part of the path is a file
      {"Q:\\Tuner", false, false},                           // no such drive
      {"Tuner", false, false},
      {"", false, false},
      {"C:\\" + std::string(1100, 'a'), false, true},  // longer than the edit may hold
  };
  INT_PTR code = run([&](HWND dialog) {
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DIRECTORY_EDIT, EM_GETLIMITTEXT, 0, 0), 1023);
    for (const Case &c : cases) {
      page::type(dialog, IDC_DIRECTORY_EDIT, c.typed);
      EXPECT_EQ(page::enabled(dialog, IDOK), c.next) << c.typed;
      if (c.typed.size() > 1023) continue;
      long long available = kilobytes(page::text(dialog, IDC_SPACE_AVAILABLE));
      EXPECT_EQ(available == 0, !c.measured) << c.typed << ": " << page::text(dialog, IDC_SPACE_AVAILABLE);
      EXPECT_EQ(available % 1024, 0) << c.typed;
    }
    page::click(dialog, IDC_BACK);
  });
  EXPECT_EQ(code, IDC_BACK);
  EXPECT_STREQ(info_.install_dir.c_str(), "C:\\Program Files\\Tuner");
}

TEST_F(DirectoryPage, ShowsSpaceNeededAndAvailable) {
  info_.space_needed = 5000000;  // 4882.8 KB
  INT_PTR code = run([&](HWND dialog) {
    EXPECT_EQ(page::text(dialog, IDC_DIRECTORY_EDIT), "C:\\Program Files\\Tuner");
    EXPECT_EQ(page::text(dialog, IDC_SPACE_NEEDED), "4882 KB");
    // The drive's free space moves while other programs write, so compare to within 64 MB.
    long long shown = kilobytes(page::text(dialog, IDC_SPACE_AVAILABLE));
    EXPECT_NEAR(static_cast<double>(shown), static_cast<double>(free_kb_of_c()), 64.0 * 1024);
    EXPECT_GT(shown, 0);
    EXPECT_EQ(shown % 1024, 0);
    page::type(dialog, IDC_DIRECTORY_EDIT, "Q:\\Tuner");
    EXPECT_EQ(page::text(dialog, IDC_SPACE_NEEDED), "4882 KB");
    EXPECT_EQ(page::text(dialog, IDC_SPACE_AVAILABLE), "0 KB");
    page::click(dialog, IDC_BACK);
  });
  EXPECT_EQ(code, IDC_BACK);
}

TEST_F(DirectoryPage, TooLittleRoomKeepsNextDisabled) {
  unsigned long available = free_kb_of_c();
  if (available >= 0xFFFFFFFFul / 1024) GTEST_SKIP() << "drive C: has more room than an install can need";
  info_.space_needed = (available + 1) * 1024;
  INT_PTR code = run([&](HWND dialog) {
    EXPECT_EQ(kilobytes(page::text(dialog, IDC_SPACE_NEEDED)), static_cast<long long>(available) + 1);
    EXPECT_FALSE(page::enabled(dialog, IDOK));
    page::click(dialog, IDC_BACK);
  });
  EXPECT_EQ(code, IDC_BACK);
}

TEST_F(DirectoryPage, NextKeepsTheTypedDirectory) {
  INT_PTR code = run([&](HWND dialog) {
    page::type(dialog, IDC_DIRECTORY_EDIT, "C:\\Apps\\My Tuner");
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_STREQ(info_.install_dir.c_str(), "C:\\Apps\\My Tuner");
}

// Enter or a stray command while Next is disabled changes nothing and leaves the page open.
TEST_F(DirectoryPage, DisabledNextIgnoresTheCommand) {
  info_.install_dir = "Q:\\Tuner";
  bool stayed = false;
  INT_PTR code = run([&](HWND dialog) {
    EXPECT_FALSE(page::enabled(dialog, IDOK));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_DIRECTORY_EDIT));
    page::type(dialog, IDC_DIRECTORY_EDIT, "C:\\Program Files\\Tuner\\");
    page::click(dialog, IDOK);
    stayed = IsWindowVisible(dialog) != FALSE;
    page::click(dialog, IDC_BACK);
  });
  EXPECT_TRUE(stayed);
  EXPECT_EQ(code, IDC_BACK);
  EXPECT_STREQ(info_.install_dir.c_str(), "Q:\\Tuner");
}

// ---- the folder browser ------------------------------------------------------------------

struct BrowserChoice {
  const char *select;  // null: cancel the browser
  bool seen;
};
BrowserChoice g_choice;

BOOL CALLBACK find_browser(HWND window, LPARAM param) {
  char name[16] = {0};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770" || !IsWindowVisible(window) || GetDlgItem(window, IDC_DIRECTORY_EDIT)) return TRUE;
  *reinterpret_cast<HWND *>(param) = window;
  return FALSE;
}

// Works the browser once it is up: selects the wanted folder and confirms, or cancels.
void CALLBACK work_browser(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND browser = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), find_browser, reinterpret_cast<LPARAM>(&browser));
  if (!browser) return;
  KillTimer(nullptr, timer);
  g_choice.seen = true;
  if (g_choice.select) {
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(g_choice.select));
    PostMessageA(browser, WM_COMMAND, IDOK, 0);
  } else {
    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
  }
}

TEST_F(DirectoryPage, BrowseTakesTheChosenFolder) {
  char windows[MAX_PATH] = {0};
  ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 3u);
  struct Case {
    const char *select;
    std::string install_dir;  // afterwards
    std::string edit;
    bool next;
  };
  const Case cases[] = {
      {nullptr, "C:\\Program Files\\Tuner", "C:\\Program Files\\Tuner", true},
      {windows, windows, windows, true},
      {"C:\\", "C:", "C:\\", false},  // a drive's root is refused
  };
  for (const Case &c : cases) {
    info_.install_dir = "C:\\Program Files\\Tuner";
    g_choice = {c.select, false};
    INT_PTR code = run([&](HWND dialog) {
      SetTimer(nullptr, 0, 100, work_browser);
      page::click(dialog, IDC_DIRECTORY_BROWSE);
      EXPECT_TRUE(g_choice.seen);
      EXPECT_EQ(page::text(dialog, IDC_DIRECTORY_EDIT), c.edit);
      EXPECT_EQ(page::enabled(dialog, IDOK), c.next);
      page::click(dialog, IDC_BACK);
    });
    EXPECT_EQ(code, IDC_BACK);
    EXPECT_EQ(std::string(info_.install_dir.c_str()), c.install_dir) << (c.select ? c.select : "cancelled");
  }
}

}  // namespace

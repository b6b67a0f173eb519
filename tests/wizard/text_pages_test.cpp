// The pages that show texts: Welcome, Ready, Complete and Previous Version, with the product's
// name put into their strings, and the formatting that keeps a long name from overrunning.
#include <windows.h>

#include <string>

#include "gtest/gtest.h"
#include "sdk/dispatch_table.h"
#include "util/bounded_text.h"
#include "wizard/page_common.h"
#include "wizard/page_harness.h"

namespace {

class TextPages : public ::testing::Test {
 protected:
  TextPages() {
    page::use_own_resources(&info_);
    info_.product_name = "Tuner";
  }

  // Runs the page, hands the dialog to check, then closes it with its forward button.
  void show(WORD id, DLGPROC procedure, const page::Script &check) {
    INT_PTR code = page::run(id, procedure, &info_, [&](HWND dialog) {
      check(dialog);
      page::click(dialog, IDOK);
    });
    EXPECT_EQ(code, IDOK);
  }

  SetupInfo info_;
};

std::string own_string(int id) {
  char text[MAX_PATH] = {0};
  LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), text, sizeof text);
  return text;
}

TEST_F(TextPages, WelcomeGreetsTheProduct) {
  show(IDD_WELCOME, welcome_dialog_proc, [](HWND dialog) {
    EXPECT_EQ(page::text(dialog), "Welcome to Tuner!");
    EXPECT_EQ(page::text(dialog, IDC_WELCOME_TEXT),
              "Welcome to the Tuner setup program. This program will install Tuner to your hard drive.");
    EXPECT_EQ(page::text(dialog, IDC_WELCOME_NOTE), own_string(IDS_WELCOME_NOTE));
    EXPECT_TRUE(page::text_fits(GetDlgItem(dialog, IDC_WELCOME_TEXT)));
    EXPECT_TRUE(page::text_fits(GetDlgItem(dialog, IDC_WELCOME_NOTE)));
  });
}

TEST_F(TextPages, ReadyShowsTheSummaryInItsEightPlaces) {
  info_.install_dir = "C:\\Program Files\\Tuner";
  info_.start_menu_folder = "Network\\Tuner";
  SetupDispatchTable defaults;
  ASSERT_EQ(defaults.BeforeReadyDialog(&info_, nullptr), 0);
  show(IDD_READY, ready_dialog_proc, [](HWND dialog) {
    const char *want[] = {"Installation Directory:", "C:\\Program Files\\Tuner", "Start Menu Folder:", "Network\\Tuner",
                          "", "", "", ""};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(page::text(dialog, IDC_READY_FIRST + i), want[i]) << i;
  });
  for (int i = 0; i < 8; ++i) info_.ready_text[i] = ("text " + std::to_string(i)).c_str();
  show(IDD_READY, ready_dialog_proc, [](HWND dialog) {
    for (int i = 0; i < 8; ++i) EXPECT_EQ(page::text(dialog, IDC_READY_FIRST + i), "text " + std::to_string(i));
  });
}

// Strings 2003, 2004 and 2006 come only from a product's resource library: their places stay empty.
TEST_F(TextPages, CompleteNamesTheProduct) {
  show(IDD_COMPLETE, complete_dialog_proc, [](HWND dialog) {
    EXPECT_EQ(page::text(dialog, IDC_COMPLETE_FIRST), "");
    EXPECT_EQ(page::text(dialog, IDC_COMPLETE_SECOND), "");
    EXPECT_EQ(page::text(dialog, IDC_COMPLETE_DONE), "Tuner Setup has completed successfully!");
    EXPECT_EQ(page::text(dialog, IDC_COMPLETE_FOURTH), "");
  });
}

TEST_F(TextPages, PreviousVersionNamesTheProduct) {
  show(IDD_PREVIOUS, previous_dialog_proc, [](HWND dialog) {
    EXPECT_EQ(page::text(dialog, IDC_PREVIOUS_TEXT),
              "A version of Tuner already exists on your system. Since two versions of this program cannot be "
              "installed at the same time, we need to replace the old version.");
    EXPECT_TRUE(page::text_fits(GetDlgItem(dialog, IDC_PREVIOUS_TEXT)));
  });
}

// A name that would not fit the 260-character texts leaves them unformatted rather than cut or
// overrun; a name holding "%" signs is shown as it is.
TEST_F(TextPages, UnusualProductNamesAreShownSafely) {
  info_.product_name = std::string(300, 'P').c_str();
  show(IDD_WELCOME, welcome_dialog_proc, [](HWND dialog) {
    EXPECT_EQ(page::text(dialog, IDC_WELCOME_TEXT), own_string(IDS_WELCOME_TEXT));
    EXPECT_EQ(page::text(dialog), own_string(IDS_WELCOME_TITLE));
  });
  show(IDD_PREVIOUS, previous_dialog_proc, [](HWND dialog) {
    EXPECT_EQ(page::text(dialog, IDC_PREVIOUS_TEXT), own_string(IDS_PREVIOUS_TEXT));
  });
  info_.product_name = "100%s %n Tuner";
  show(IDD_COMPLETE, complete_dialog_proc, [](HWND dialog) {
    EXPECT_EQ(page::text(dialog, IDC_COMPLETE_DONE), "100%s %n Tuner Setup has completed successfully!");
  });
}

TEST(FormatWithName, PutsTheNameIntoEachSlotOrLeavesTheTextAlone) {
  struct Case {
    const char *format;
    const char *name;
    std::string want;
  };
  const std::string fits_exactly = std::string(255, 'f') + "%s";  // 255 + "Tune" = 259 characters
  const Case cases[] = {
      {"Welcome to %s!", "Tuner", "Welcome to Tuner!"},
      {"%s and %s", "Tuner", "Tuner and Tuner"},
      {"No name here.", "Tuner", "No name here."},
      {"50%% of %s", "Tuner", "50% of Tuner"},
      {"%s %s %s", "Tuner", "%s %s %s"},                 // more slots than names
      {"%d files of %s", "Tuner", "%d files of %s"},     // another conversion
      {"ends in %", "Tuner", "ends in %"},
      {fits_exactly.c_str(), "Tune", std::string(255, 'f') + "Tune"},
      {fits_exactly.c_str(), "Tuner", fits_exactly},     // one character too many
      {"%s", nullptr, ""},
  };
  for (const Case &c : cases) {
    char out[MAX_PATH];
    memset(out, 'x', sizeof out);
    format_with_name(out, sizeof out, c.format, c.name);
    EXPECT_EQ(std::string(out), c.want) << c.format;
  }
}

}  // namespace

// What every wizard page does alike: the side picture (and its release), centring, the focus on
// the forward button, Next, Back, and Cancel or the close box with the question before leaving.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "support/message_recorder.h"
#include "support/scratch.h"
#include "wizard/page_harness.h"

namespace {

class WizardPages : public ::testing::TestWithParam<page::Page> {
 protected:
  WizardPages() : folder_("wizard_pages") {
    write_file(folder_.file("license.txt"), "Terms.\r\n");
    page::use_own_resources(&info_);
    info_.source_dir = folder_.path().c_str();
    info_.product_name = "Tuner";
    info_.install_dir = "C:\\Program Files\\Tuner";
    info_.start_menu_folder = "Tuner";
  }

  INT_PTR run(page::Script script) { return page::run(GetParam().id, GetParam().procedure, &info_, script); }
  bool has_back() const { return GetParam().id <= IDD_READY && GetParam().id != IDD_WELCOME; }
  bool asks() const { return GetParam().id <= IDD_READY; }

  ScratchDir folder_;
  SetupInfo info_;
};

bool ended(HWND dialog) { return !IsWindowVisible(dialog); }

HBITMAP side_picture(HWND dialog) {
  return reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, IDC_SIDE_BITMAP, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

TEST_P(WizardPages, ShowsPictureCentredWithFocusOnForwardAndNextEndsWithOne) {
  HBITMAP picture = nullptr;
  INT_PTR code = run([&](HWND dialog) {
    picture = side_picture(dialog);
    BITMAP size = {};
    EXPECT_TRUE(picture && GetObjectA(picture, sizeof size, &size));
    EXPECT_EQ(size.bmWidth, 133);
    EXPECT_EQ(size.bmHeight, 258);
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
    RECT screen, window;
    GetWindowRect(GetDesktopWindow(), &screen);
    GetWindowRect(dialog, &window);
    EXPECT_NEAR(window.left + window.right, screen.left + screen.right, 2);
    EXPECT_NEAR(window.top + window.bottom, screen.top + screen.bottom, 2);
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(GetObjectType(picture), 0u) << "the page's bitmap outlives it";
}

TEST_P(WizardPages, BackEndsWithFourOnlyWhereOffered) {
  bool stayed = false;
  INT_PTR code = run([&](HWND dialog) {
    page::click(dialog, 999);  // a command no page knows
    EXPECT_FALSE(ended(dialog));
    page::click(dialog, IDC_BACK);
    stayed = !ended(dialog);
    if (stayed) page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, has_back() ? IDC_BACK : IDOK);
  EXPECT_EQ(stayed, !has_back());
}

// Cancel and the close box: answered No, the page stays as it was; answered Yes, it ends with 2.
// The closing pages (Complete, Previous Version) end at once without asking.
TEST_P(WizardPages, CancelAndCloseAskBeforeLeaving) {
  for (bool close_box : {false, true}) {
    HBITMAP picture = nullptr;
    size_t boxes_after_no = 0;
    std::vector<RecordedBox> yes_boxes;
    INT_PTR code = run([&](HWND dialog) {
      picture = side_picture(dialog);
      auto cancel = [&] {
        if (close_box) {
          SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else {
          page::click(dialog, IDCANCEL);
        }
      };
      if (asks()) {
        std::vector<std::string> before = page::all_texts(dialog);
        MessageRecorder no(IDNO);
        cancel();
        boxes_after_no = no.boxes().size();
        EXPECT_FALSE(ended(dialog));
        EXPECT_EQ(page::all_texts(dialog), before);
        EXPECT_EQ(side_picture(dialog), picture);
      }
      MessageRecorder yes(IDYES);
      cancel();
      yes_boxes = yes.boxes();
      EXPECT_TRUE(ended(dialog));
    });
    EXPECT_EQ(code, IDCANCEL) << (close_box ? "close box" : "Cancel");
    EXPECT_EQ(GetObjectType(picture), 0u);
    if (!asks()) {
      EXPECT_TRUE(yes_boxes.empty());
      continue;
    }
    EXPECT_EQ(boxes_after_no, 1u);
    ASSERT_EQ(yes_boxes.size(), 1u);
    EXPECT_EQ(yes_boxes[0].text,
              "The installation is not complete. Are you sure you want to exit Setup and return to Windows?");
    EXPECT_EQ(yes_boxes[0].caption, "Setup not complete");
    EXPECT_EQ(yes_boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION | MB_TOPMOST));
  }
}

INSTANTIATE_TEST_SUITE_P(Wizard, WizardPages, ::testing::ValuesIn(page::all_pages()),
                         [](const ::testing::TestParamInfo<page::Page> &info) { return std::string(info.param.name); });

// The question itself, outside a page: only Yes leaves.
TEST(ConfirmCancel, OnlyYesLeaves) {
  SetupInfo info;
  page::use_own_resources(&info);
  for (int answer : {IDYES, IDNO, IDCANCEL}) {
    MessageRecorder recorder(answer);
    EXPECT_EQ(confirm_cancel(&info), answer == IDYES ? 1 : 0) << answer;
    ASSERT_EQ(recorder.boxes().size(), 1u);
  }
}

}  // namespace

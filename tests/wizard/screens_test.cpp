// Pictures of every page for the documentation. Runs only when WIZARD_SCREENS_DIR names a folder
// (tests/e2e/wizard_pages.sh does that): each page is shown with sample contents, its place is
// written to "<name>.ready", and the page stays up until the script has taken its picture and
// created "<name>.done". The place is "x y width height" of the window and the side picture's
// offset in it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gtest/gtest.h"
#include "sdk/dispatch_table.h"
#include "support/scratch.h"
#include "util/bounded_text.h"
#include "wizard/page_common.h"
#include "wizard/page_harness.h"
#include "wizard/programs_folder.h"

namespace {

const char kLicense[] =
    "END-USER LICENSE AGREEMENT\r\n\r\n"
    "Please read this agreement carefully before installing the software.\r\n\r\n"
    "1. Grant of licence. You may install and use one copy of the software on one computer.\r\n\r\n"
    "2. Copies. You may make one copy of the software for backup purposes.\r\n\r\n"
    "3. No warranty. The software is provided as it is, without warranty of any kind.\r\n\r\n"
    "4. Limitation of liability. In no event shall the authors be liable for any damages arising "
    "from the use of the software.\r\n";

// Waits, keeping the page painted, until the picture of it has been taken.
void hold_for_picture(HWND dialog, const std::string &folder, const char *name) {
  RECT box;
  GetWindowRect(dialog, &box);
  UpdateWindow(dialog);
  std::string ready = folder + "\\" + name + ".ready", done = folder + "\\" + name + ".done";
  RECT picture;
  GetWindowRect(GetDlgItem(dialog, IDC_SIDE_BITMAP), &picture);
  char place[128];
  snprintf(place, sizeof place, "%ld %ld %ld %ld %ld %ld\n", box.left, box.top, box.right - box.left,
           box.bottom - box.top, picture.left - box.left, picture.top - box.top);
  ASSERT_TRUE(write_file(ready, place));
  for (DWORD start = GetTickCount(); GetTickCount() - start < 60000 && !file_exists(done);) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    Sleep(50);
  }
  EXPECT_TRUE(file_exists(done)) << name;
}

TEST(WizardScreens, ShowEveryPage) {
  const char *folder = getenv("WIZARD_SCREENS_DIR");
  if (!folder || !folder[0]) GTEST_SKIP() << "pictures are taken by tests/e2e/wizard_pages.sh";
  ScratchDir source("wizard_screens");
  ASSERT_TRUE(write_file(source.file("license.txt"), kLicense));
  ScratchDir programs("wizard_screens_programs");
  for (const char *name : {"Accessories", "Games", "Online Services", "StartUp"}) {
    CreateDirectoryA(programs.file(name).c_str(), nullptr);
  }
  page::ProgramsFolder programs_folder(programs.path());

  SetupInfo info;
  page::use_own_resources(&info);
  info.product_name = "Tuner";
  info.source_dir = source.path().c_str();
  info.install_dir = "C:\\Program Files\\Tuner";
  info.start_menu_folder = "Tuner";
  info.space_needed = 1288490;
  SetupDispatchTable defaults;
  defaults.BeforeReadyDialog(&info, nullptr);

  struct Shot {
    WORD id;
    DLGPROC procedure;
    const char *name;
  };
  const Shot shots[] = {
      {IDD_WELCOME, welcome_dialog_proc, "setup_welcome"},
      {IDD_LICENSE, license_dialog_proc, "setup_license"},
      {IDD_DIRECTORY, directory_dialog_proc, "setup_directory"},
      {IDD_START_MENU, start_menu_dialog_proc, "setup_start_menu"},
      {IDD_READY, ready_dialog_proc, "setup_ready"},
      {IDD_COMPLETE, complete_dialog_proc, "setup_complete"},
      {IDD_PREVIOUS, previous_dialog_proc, "setup_previous"},
  };
  for (const Shot &shot : shots) {
    INT_PTR code = page::run(shot.id, shot.procedure, &info, [&](HWND dialog) {
      hold_for_picture(dialog, folder, shot.name);
      page_end(dialog, IDOK);
    });
    EXPECT_EQ(code, IDOK) << shot.name;
  }
}

}  // namespace

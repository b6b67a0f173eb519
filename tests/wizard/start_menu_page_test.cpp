// The Start-menu folder page: the sorted list of existing folders, picking one by double click,
// and Next moving every shortcut of the script into the chosen folder.
#include <windows.h>

#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "support/scratch.h"
#include "wizard/page_harness.h"
#include "wizard/programs_folder.h"

namespace {

class StartMenuPage : public ::testing::Test {
 protected:
  StartMenuPage() : folder_("wizard_start_menu"), programs_(folder_.path()) {
    page::use_own_resources(&info_);
    info_.start_menu_folder = "Tuner";
  }

  void make_folders(const std::vector<std::string> &names) {
    for (const std::string &name : names) ASSERT_TRUE(CreateDirectoryA(folder_.file(name.c_str()).c_str(), nullptr));
  }
  void add_shortcut(const char *path, const char *name) {
    SetupStartMenu item;
    item.path = path;
    item.name = name;
    info_.start_menu_items.append(item);
  }
  INT_PTR run(page::Script script) { return page::run(IDD_START_MENU, start_menu_dialog_proc, &info_, script); }

  ScratchDir folder_;
  page::ProgramsFolder programs_;
  SetupInfo info_;
};

std::vector<std::string> list_entries(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_START_MENU_LIST);
  std::vector<std::string> entries;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[MAX_PATH] = {0};
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}

std::pair<DWORD, DWORD> selection(HWND dialog) {
  DWORD start = 0, end = 0;
  SendDlgItemMessageA(dialog, IDC_START_MENU_EDIT, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                      reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

void double_click(HWND dialog, LRESULT entry) {
  HWND list = GetDlgItem(dialog, IDC_START_MENU_LIST);
  SendMessageA(list, LB_SETCURSEL, entry, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_START_MENU_LIST, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
}

TEST_F(StartMenuPage, ListsTheExistingFoldersSortedAndTheFolderSelected) {
  make_folders({"Zeta", "alpha", "Beta Tools", ".hidden"});
  ASSERT_TRUE(write_file(folder_.file("readme.txt"), "not a folder"));
  INT_PTR code = run([&](HWND dialog) {
    EXPECT_EQ(list_entries(dialog), (std::vector<std::string>{"alpha", "Beta Tools", "Zeta"}));
    EXPECT_EQ(page::text(dialog, IDC_START_MENU_EDIT), "Tuner");
    EXPECT_EQ(selection(dialog), (std::pair<DWORD, DWORD>{0, 5}));
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_START_MENU_EDIT, EM_GETLIMITTEXT, 0, 0), MAX_PATH - 1);
    page::click(dialog, IDC_BACK);
  });
  EXPECT_EQ(code, IDC_BACK);
  EXPECT_STREQ(info_.start_menu_folder.c_str(), "Tuner");
}

TEST_F(StartMenuPage, DoubleClickTakesTheEntry) {
  make_folders({"Accessories", "Games"});
  INT_PTR code = run([&](HWND dialog) {
    double_click(dialog, -1);  // nothing selected: nothing happens
    EXPECT_EQ(page::text(dialog, IDC_START_MENU_EDIT), "Tuner");
    double_click(dialog, 1);
    EXPECT_EQ(page::text(dialog, IDC_START_MENU_EDIT), "Games");
    EXPECT_EQ(selection(dialog), (std::pair<DWORD, DWORD>{0, 5}));
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_STREQ(info_.start_menu_folder.c_str(), "Games");
}

TEST_F(StartMenuPage, NextMovesEveryShortcutIntoTheFolder) {
  add_shortcut("Tuner", "Tuner");
  add_shortcut("Elsewhere\\Deeper", "Help");
  add_shortcut("", "Uninstall");
  INT_PTR code = run([&](HWND dialog) {
    page::type(dialog, IDC_START_MENU_EDIT, "Network\\Tuner");
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_STREQ(info_.start_menu_folder.c_str(), "Network\\Tuner");
  ASSERT_EQ(info_.start_menu_items.size(), 3u);
  for (const SetupStartMenu &item : info_.start_menu_items) EXPECT_STREQ(item.path.c_str(), "Network\\Tuner");
}

// A name longer than the folder may hold (set from outside the keyboard's limit) is cut to fit.
TEST_F(StartMenuPage, OverlongNameIsCut) {
  INT_PTR code = run([&](HWND dialog) {
    page::type(dialog, IDC_START_MENU_EDIT, std::string(400, 'n'));
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
  EXPECT_EQ(std::string(info_.start_menu_folder.c_str()), std::string(MAX_PATH - 1, 'n'));
}

TEST_F(StartMenuPage, NoProgramsFolderGivesAnEmptyList) {
  page::ProgramsFolder missing(folder_.file("missing"));
  INT_PTR code = run([&](HWND dialog) {
    EXPECT_TRUE(list_entries(dialog).empty());
    EXPECT_EQ(page::text(dialog, IDC_START_MENU_EDIT), "Tuner");
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
}

TEST_F(StartMenuPage, EmptyProgramsFolderNameListsNothing) {
  page::ProgramsFolder unnamed("");
  INT_PTR code = run([&](HWND dialog) {
    EXPECT_TRUE(list_entries(dialog).empty());
    page::click(dialog, IDOK);
  });
  EXPECT_EQ(code, IDOK);
}

}  // namespace

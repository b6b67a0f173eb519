// setup's own resources as a product sees them: dialog layouts, fixed texts, strings, the
// pictures and the icon, and the identifiers in resource.h.
#include <windows.h>

#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "res/resource.h"
#include "wizard/page_harness.h"

namespace {

HINSTANCE own_module() { return GetModuleHandleA(nullptr); }

INT_PTR CALLBACK inert_proc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A template created hidden with a procedure that does nothing, to look at its controls.
class Template {
 public:
  explicit Template(WORD id)
      : dialog_(CreateDialogParamA(own_module(), MAKEINTRESOURCEA(id), nullptr, inert_proc, 0)) {}
  ~Template() {
    if (dialog_) DestroyWindow(dialog_);
  }
  HWND get() const { return dialog_; }

  // Place of a control in dialog units' pixels, relative to the client area.
  RECT place(HWND control) const {
    RECT box;
    GetWindowRect(control, &box);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT *>(&box), 2);
    return box;
  }
  RECT pixels(int x, int y, int w, int h) const {
    RECT box = {x, y, x + w, y + h};
    MapDialogRect(dialog_, &box);
    return box;
  }
  std::vector<HWND> controls() const {
    std::vector<HWND> all;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) all.push_back(child);
    return all;
  }

 private:
  HWND dialog_;
};

std::string class_of(HWND window) {
  char name[64] = {0};
  GetClassNameA(window, name, sizeof name);
  return name;
}

bool same(const RECT &a, const RECT &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string describe(const RECT &r) {
  std::ostringstream out;
  out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
  return out.str();
}

struct Button {
  int id;
  const char *text;
  int x;
  bool is_default;
};

struct DialogLayout {
  WORD id;
  const char *caption;
  std::vector<Button> buttons;
  std::vector<std::pair<int, const char *>> fixed_texts;
};

const std::vector<DialogLayout> &wizard_dialogs() {
  static const std::vector<DialogLayout> layouts = {
      {IDD_WELCOME, "Welcome!", {{IDCANCEL, "&Cancel", 10, false}, {IDOK, "&Next >", 310, true}},
       {{116, "To cancel the installation and return to Windows, click the 'Cancel' Button."},
        {117, "To continue with the installation, click the 'Next' button."}}},
      {IDD_LICENSE, "End-User License Agreement",
       {{IDCANCEL, "&Cancel", 10, false}, {4, "< &Back", 264, false}, {IDOK, "I &Agree >", 310, true}},
       {{106, "If you agree with the terms listed above, click the 'I Agree' button."},
        {108, "If you do not agree with the terms, click the 'Cancel' button to abort the installation and return "
              "to Windows."}}},
      {IDD_DIRECTORY, "Select Install Directory",
       {{IDCANCEL, "&Cancel", 10, false}, {4, "< &Back", 264, false}, {IDOK, "&Next >", 310, true}},
       {{101, "Setup will install the program files to the following directory."},
        {102, "To install to the directory listed below, click the 'Next' button."},
        {103, "To choose a different directory, click the 'Browse' button or type in the new directory."}}},
      {IDD_START_MENU, "Select Start Menu Folder",
       {{IDCANCEL, "&Cancel", 10, false}, {4, "< &Back", 264, false}, {IDOK, "&Next >", 310, true}},
       {}},
      {IDD_READY, "Ready To Install",
       {{IDCANCEL, "&Cancel", 10, false}, {4, "< &Back", 264, false}, {IDOK, "&Next >", 310, true}},
       {{110, "Setup has enough information to begin copying files to your hard drive."},
        {111, "If you wish to make changes, click the 'Back' button."},
        {112, "To begin copying files to your hard drive, click the 'Next' button."}}},
      {IDD_COMPLETE, "Installation Complete!", {{IDOK, "&Close", 310, true}},
       {{110, "Click the 'Close' button to exit Setup."}}},
      {IDD_PREVIOUS, "Previous Version Detected", {{IDCANCEL, "&Cancel", 10, false}, {IDOK, "&Replace", 310, true}},
       {{110, "To replace the current version, click the 'Replace' button."},
        {111, "To exit this program and return to Windows, click the 'Cancel' button."}}},
      {IDD_UNINSTALLING, "Uninstalling", {{4, "&Details...", 264, false}, {IDOK, "&OK", 311, true}}, {}},
      {IDD_DETAILS, "Details", {{IDOK, "&OK", 310, true}}, {}},
  };
  return layouts;
}

class DialogTemplates : public ::testing::TestWithParam<DialogLayout> {};

TEST_P(DialogTemplates, FrameFontPictureAndButtons) {
  const DialogLayout &layout = GetParam();
  Template page(layout.id);
  HWND dialog = page.get();
  ASSERT_NE(dialog, nullptr) << layout.id;
  EXPECT_EQ(page::text(dialog), layout.caption);
  LONG style = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  RECT client;
  GetClientRect(dialog, &client);
  EXPECT_TRUE(same(client, page.pixels(0, 0, 360, 210))) << describe(client);

  LOGFONTA font = {};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, "Helv");

  HWND picture = GetDlgItem(dialog, IDC_SIDE_BITMAP);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(class_of(picture), "Static");
  EXPECT_EQ(GetWindowLongA(picture, GWL_STYLE) & SS_TYPEMASK, SS_BITMAP);
  EXPECT_TRUE(same(page.place(picture), page.pixels(10, 10, 90, 160))) << describe(page.place(picture));

  int buttons = 0;
  for (HWND control : page.controls()) {
    if (class_of(control) == "Button" && (GetWindowLongA(control, GWL_STYLE) & 0xF) != BS_GROUPBOX) ++buttons;
  }
  size_t extra = layout.id == IDD_DIRECTORY ? 1 : 0;  // Browse
  EXPECT_EQ(static_cast<size_t>(buttons), layout.buttons.size() + extra);
  for (const Button &want : layout.buttons) {
    HWND button = GetDlgItem(dialog, want.id);
    ASSERT_NE(button, nullptr) << want.text;
    EXPECT_EQ(page::text(button), want.text);
    EXPECT_TRUE(same(page.place(button), page.pixels(want.x, 186, 40, 14))) << want.text;
    LONG kind = GetWindowLongA(button, GWL_STYLE) & 0xF;
    EXPECT_EQ(kind, want.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << want.text;
  }
  for (const auto &fixed : layout.fixed_texts) EXPECT_EQ(page::text(dialog, fixed.first), fixed.second);
}

// Every control inside the client area, none on top of another (a group box may surround
// others), and every fixed text wholly visible.
TEST_P(DialogTemplates, ControlsFitWithoutOverlapping) {
  Template page(GetParam().id);
  ASSERT_NE(page.get(), nullptr);
  RECT client;
  GetClientRect(page.get(), &client);
  std::vector<HWND> controls = page.controls();
  for (size_t i = 0; i < controls.size(); ++i) {
    RECT a = page.place(controls[i]);
    EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= client.right && a.bottom <= client.bottom)
        << "control " << GetDlgCtrlID(controls[i]) << " at " << describe(a);
    bool frame = class_of(controls[i]) == "Button" && (GetWindowLongA(controls[i], GWL_STYLE) & 0xF) == BS_GROUPBOX;
    if (class_of(controls[i]) == "Static" && !page::text(controls[i]).empty()) {
      EXPECT_TRUE(page::text_fits(controls[i])) << page::text(controls[i]);
    }
    for (size_t j = i + 1; j < controls.size() && !frame; ++j) {
      bool other_frame =
          class_of(controls[j]) == "Button" && (GetWindowLongA(controls[j], GWL_STYLE) & 0xF) == BS_GROUPBOX;
      if (other_frame) continue;
      RECT b = page.place(controls[j]), overlap;
      EXPECT_FALSE(IntersectRect(&overlap, &a, &b))
          << GetDlgCtrlID(controls[i]) << " " << describe(a) << " and " << GetDlgCtrlID(controls[j]) << " "
          << describe(b);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Wizard, DialogTemplates, ::testing::ValuesIn(wizard_dialogs()),
                         [](const ::testing::TestParamInfo<DialogLayout> &info) {
                           return "template_" + std::to_string(info.param.id);
                         });

TEST(DialogTemplateDetails, LicenceEditIsReadOnlyMultiLineWithScrollBar) {
  Template page(IDD_LICENSE);
  HWND edit = GetDlgItem(page.get(), IDC_LICENSE_TEXT);
  ASSERT_EQ(class_of(edit), "Edit");
  LONG style = GetWindowLongA(edit, GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & ES_READONLY);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_TRUE(same(page.place(edit), page.pixels(110, 10, 240, 138)));
}

TEST(DialogTemplateDetails, DirectoryPageControls) {
  Template page(IDD_DIRECTORY);
  HWND dialog = page.get();
  EXPECT_EQ(class_of(GetDlgItem(dialog, IDC_DIRECTORY_EDIT)), "Edit");
  EXPECT_FALSE(GetWindowLongA(GetDlgItem(dialog, IDC_DIRECTORY_EDIT), GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(page::text(dialog, IDC_DIRECTORY_BROWSE), "&Browse");
  EXPECT_EQ(GetWindowLongA(GetDlgItem(dialog, IDC_DIRECTORY_GROUP), GWL_STYLE) & 0xF, BS_GROUPBOX);
  // The group box surrounds the edit.
  RECT group = page.place(GetDlgItem(dialog, IDC_DIRECTORY_GROUP));
  RECT edit = page.place(GetDlgItem(dialog, IDC_DIRECTORY_EDIT)), both;
  UnionRect(&both, &group, &edit);
  EXPECT_TRUE(same(both, group));
  std::vector<std::string> labels;
  for (HWND control : page.controls()) {
    if (GetDlgCtrlID(control) == IDC_SPACE_LABEL) labels.push_back(page::text(control));
  }
  EXPECT_EQ(labels, (std::vector<std::string>{"Space Needed:", "Space Avaliable:"}));
  EXPECT_EQ(class_of(GetDlgItem(dialog, IDC_SPACE_NEEDED)), "Static");
  EXPECT_EQ(class_of(GetDlgItem(dialog, IDC_SPACE_AVAILABLE)), "Static");
}

// The picture and the edit come first, so the program finds them by 300 and 301; the two
// introductory texts repeat those ids after them.
TEST(DialogTemplateDetails, StartMenuPageOrderAndRepeatedIds) {
  Template page(IDD_START_MENU);
  std::vector<HWND> controls = page.controls();
  ASSERT_GE(controls.size(), 4u);
  EXPECT_EQ(GetDlgCtrlID(controls[0]), IDC_SIDE_BITMAP);
  EXPECT_EQ(GetDlgCtrlID(controls[1]), IDC_START_MENU_EDIT);
  EXPECT_EQ(class_of(controls[1]), "Edit");
  std::map<std::string, int> ids;
  for (HWND control : controls) ids[page::text(control)] = GetDlgCtrlID(control);
  EXPECT_EQ(ids["Setup will add Start Menu items to the folder listed below. You may type in a folder name, or "
                "select one from the list."],
            300);
  EXPECT_EQ(ids["Click the 'Next' button to continue."], 301);
  EXPECT_EQ(ids.count("Start Menu Folder Name:"), 1u);
  EXPECT_EQ(ids.count("Existing Start Menu Folders:"), 1u);
  HWND list = GetDlgItem(page.get(), IDC_START_MENU_LIST);
  EXPECT_EQ(class_of(list), "ListBox");
  LONG style = GetWindowLongA(list, GWL_STYLE);
  EXPECT_TRUE(style & LBS_SORT);
  EXPECT_TRUE(style & LBS_NOTIFY);
  // The scroll bar appears once the folders do not fit.
  for (int i = 0; i < 40; ++i) SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Folder"));
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
}

TEST(DialogTemplateDetails, ReadyLabelsAndIndentedValues) {
  Template page(IDD_READY);
  for (int id = IDC_READY_FIRST; id <= IDC_READY_LAST; ++id) {
    HWND control = GetDlgItem(page.get(), id);
    ASSERT_NE(control, nullptr) << id;
    RECT want = page.pixels((id - IDC_READY_FIRST) % 2 ? 120 : 110, 0, 1, 1);
    EXPECT_EQ(page.place(control).left, want.left) << id;
  }
}

TEST(DialogTemplateDetails, UninstallDialogsAsPlaced) {
  Template uninstalling(IDD_UNINSTALLING);
  HWND list = GetDlgItem(uninstalling.get(), IDC_UNINSTALL_LIST);
  EXPECT_EQ(class_of(list), "ListBox");
  EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & LBS_NOSEL);
  EXPECT_TRUE(same(uninstalling.place(list), uninstalling.pixels(110, 50, 240, 94)));
  EXPECT_TRUE(same(uninstalling.place(GetDlgItem(uninstalling.get(), IDC_UNINSTALL_TEXT)),
                   uninstalling.pixels(110, 10, 240, 32)));
  EXPECT_TRUE(same(uninstalling.place(GetDlgItem(uninstalling.get(), IDC_UNINSTALL_RESULT)),
                   uninstalling.pixels(110, 150, 240, 32)));
  Template details(IDD_DETAILS);
  EXPECT_TRUE(same(details.place(GetDlgItem(details.get(), IDC_DETAILS_LIST)), details.pixels(110, 10, 240, 170)));
}

// ---- strings --------------------------------------------------------------------------------

std::string own_string(int id) {
  char text[1024] = {0};
  return LoadStringA(own_module(), static_cast<UINT>(id), text, sizeof text) > 0 ? text : "<missing>";
}

TEST(SetupStrings, PageTextsAsShown) {
  const std::pair<int, const char *> texts[] = {
      {IDS_WELCOME_TEXT, "Welcome to the %s setup program. This program will install %s to your hard drive."},
      {IDS_WELCOME_TITLE, "Welcome to %s!"},
      {IDS_COMPLETE_DONE, "%s Setup has completed successfully!"},
      {IDS_PREVIOUS_TEXT, "A version of %s already exists on your system. Since two versions of this program cannot "
                          "be installed at the same time, we need to replace the old version."},
      {IDS_READY_DIRECTORY, "Installation Directory:"},
      {IDS_READY_START_MENU, "Start Menu Folder:"},
      {IDS_CANCEL_QUESTION,
       "The installation is not complete. Are you sure you want to exit Setup and return to Windows?"},
      {IDS_CANCEL_CAPTION, "Setup not complete"},
  };
  for (const auto &text : texts) EXPECT_EQ(own_string(text.first), text.second) << text.first;
  EXPECT_NE(own_string(IDS_WELCOME_NOTE), "<missing>");
  // Only a product's resource library supplies these.
  for (int id : {IDS_COMPLETE_1, IDS_COMPLETE_2, IDS_COMPLETE_4}) EXPECT_EQ(own_string(id), "<missing>") << id;
}

// ---- pictures and icon ----------------------------------------------------------------------

const BITMAPINFOHEADER *bitmap_resource(LPCSTR name) {
  HRSRC found = FindResourceA(own_module(), name, MAKEINTRESOURCEA(2));  // RT_BITMAP
  if (!found) return nullptr;
  return static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(own_module(), found)));
}

// Both pictures are run-length compressed 4-bit bitmaps, every pixel the system draws from them
// is one of the twenty colours a 256-colour display always has, so they look the same with or
// without a realised palette, and their shades are dithered along the rows as well as across
// them (a dither from row to row alone shows as stripes): most rows mix colours.
TEST(SetupPictures, SizesDepthAndReservedColours) {
  struct Want {
    LPCSTR name;
    LONG width, height;
  };
  const std::set<COLORREF> reserved = {
      RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
      RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
      RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
      RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
  for (const Want &want : {Want{MAKEINTRESOURCEA(IDB_SIDE), 133, 258}, Want{"SPLASH_BITMAP", 320, 240}}) {
    const BITMAPINFOHEADER *header = bitmap_resource(want.name);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, want.width);
    EXPECT_EQ(header->biHeight, want.height);
    EXPECT_EQ(header->biBitCount, 4);
    EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RLE4));
    HBITMAP bitmap = LoadBitmapA(own_module(), want.name);
    ASSERT_NE(bitmap, nullptr);
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), want.width, -want.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<RGBQUAD> pixels(static_cast<size_t>(want.width * want.height));
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, want.height, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    ASSERT_EQ(rows, want.height);
    std::set<COLORREF> used;
    LONG mixed_rows = 0;
    for (LONG y = 0; y < want.height; ++y) {
      std::set<COLORREF> row;
      for (LONG x = 0; x < want.width; ++x) {
        const RGBQUAD &c = pixels[static_cast<size_t>(y * want.width + x)];
        row.insert(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
      }
      mixed_rows += row.size() > 1;
      used.insert(row.begin(), row.end());
    }
    EXPECT_GT(used.size(), 4u) << "a picture, not a plain colour";
    EXPECT_GT(mixed_rows * 3, want.height * 2) << mixed_rows << " of " << want.height << " rows mix colours";
    for (COLORREF colour : used) EXPECT_EQ(reserved.count(colour), 1u) << std::hex << colour;
  }
  HBITMAP side = LoadBitmapA(own_module(), MAKEINTRESOURCEA(IDB_SIDE));
  ASSERT_NE(side, nullptr);
  BITMAP info = {};
  GetObjectA(side, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 133);
  EXPECT_EQ(info.bmHeight, 258);
  DeleteObject(side);
}

#pragma pack(push, 2)
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bits;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(SetupPictures, IconHasLargeAndSmallImages) {
  HRSRC found = FindResourceA(own_module(), MAKEINTRESOURCEA(IDI_SETUP), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(found, nullptr);
  const WORD *group = static_cast<const WORD *>(LockResource(LoadResource(own_module(), found)));
  const IconGroupEntry *entries = reinterpret_cast<const IconGroupEntry *>(group + 3);
  std::set<int> sizes;
  for (WORD i = 0; i < group[2]; ++i) {
    sizes.insert(entries[i].width);
    EXPECT_EQ(entries[i].width, entries[i].height);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 32}));
  for (int size : {16, 32}) {
    HICON icon = static_cast<HICON>(LoadImageA(own_module(), MAKEINTRESOURCEA(IDI_SETUP), IMAGE_ICON, size, size, 0));
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(icon);
  }
}

// ---- identifiers ----------------------------------------------------------------------------

// resource.h beside this source file's tree, as the test program (under Wine) sees it.
std::string resource_header_path() {
  std::string source = __FILE__;
  size_t tests = source.rfind("/tests/wizard/");
  if (source.empty() || source[0] != '/' || tests == std::string::npos) return "";
  std::string path = "Z:" + source.substr(0, tests) + "/setup/res/resource.h";
  for (char &c : path) c = c == '/' ? '\\' : c;
  return path;
}

// Each name is defined once, each value once within its group (groups are separated by blank
// lines), and every dialog, string and bitmap named there exists in the program.
TEST(ResourceIds, DefinedOnceWithinTheirGroups) {
  std::ifstream header(resource_header_path());
  ASSERT_TRUE(header.good()) << resource_header_path();
  std::set<std::string> names;
  std::map<long, std::string> group;
  std::vector<std::pair<std::string, long>> all;
  std::string line;
  while (std::getline(header, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      group.clear();
      continue;
    }
    std::istringstream words(line);
    std::string directive, name;
    long value = 0;
    if (!(words >> directive) || directive != "#define") continue;
    ASSERT_TRUE(static_cast<bool>(words >> name >> value)) << line;
    EXPECT_TRUE(names.insert(name).second) << name << " defined twice";
    auto clash = group.find(value);
    EXPECT_TRUE(clash == group.end()) << name << " repeats " << value << " of "
                                      << (clash == group.end() ? "" : clash->second);
    group[value] = name;
    all.push_back({name, value});
  }
  ASSERT_GT(all.size(), 60u);
  for (const auto &id : all) {
    const std::string &name = id.first;
    if (name.compare(0, 4, "IDD_") == 0) {
      EXPECT_NE(FindResourceA(own_module(), MAKEINTRESOURCEA(id.second), MAKEINTRESOURCEA(5)), nullptr) << name;
    }
    bool library_only = id.second == IDS_COMPLETE_1 || id.second == IDS_COMPLETE_2 || id.second == IDS_COMPLETE_4;
    if (name.compare(0, 4, "IDS_") == 0 && !library_only) {
      EXPECT_NE(own_string(id.second), "<missing>") << name;
    }
  }
}

}  // namespace

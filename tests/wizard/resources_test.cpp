// setup's own resources as its code uses them: the controls of the dialogs, that everything fits,
// the pictures and the icon, and the identifiers in resource.h.
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

std::string describe(const RECT &r) {
  std::ostringstream out;
  out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
  return out.str();
}

// The buttons the pages' code answers to, by id (4: Back), and which of them Enter presses.
struct DialogLayout {
  WORD id;
  std::vector<int> buttons;
  int default_button;
};

const std::vector<DialogLayout> &wizard_dialogs() {
  static const std::vector<DialogLayout> layouts = {
      {IDD_WELCOME, {IDCANCEL, IDOK}, IDOK},          {IDD_LICENSE, {IDCANCEL, 4, IDOK}, IDOK},
      {IDD_DIRECTORY, {IDCANCEL, 4, IDOK}, IDOK},     {IDD_START_MENU, {IDCANCEL, 4, IDOK}, IDOK},
      {IDD_READY, {IDCANCEL, 4, IDOK}, IDOK},         {IDD_COMPLETE, {IDOK}, IDOK},
      {IDD_PREVIOUS, {IDCANCEL, IDOK}, IDOK},         {IDD_UNINSTALLING, {4, IDOK}, IDOK},
      {IDD_DETAILS, {IDOK}, IDOK},
  };
  return layouts;
}

bool is_group_box(HWND control) {
  return class_of(control) == "Button" && (GetWindowLongA(control, GWL_STYLE) & 0xF) == BS_GROUPBOX;
}

class DialogTemplates : public ::testing::TestWithParam<DialogLayout> {};

// Every page has a caption with a close box, the side picture the code fills, and the buttons its
// code answers to, Enter on the one that goes on.
TEST_P(DialogTemplates, CaptionPictureAndTheButtonsTheCodeUses) {
  const DialogLayout &layout = GetParam();
  Template page(layout.id);
  HWND dialog = page.get();
  ASSERT_NE(dialog, nullptr) << layout.id;
  LONG style = GetWindowLongA(dialog, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  HWND picture = GetDlgItem(dialog, IDC_SIDE_BITMAP);
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(GetWindowLongA(picture, GWL_STYLE) & SS_TYPEMASK, SS_BITMAP);
  for (int id : layout.buttons) {
    HWND button = GetDlgItem(dialog, id);
    ASSERT_NE(button, nullptr) << id;
    LONG kind = GetWindowLongA(button, GWL_STYLE) & 0xF;
    EXPECT_EQ(kind, id == layout.default_button ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << id;
  }
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
    if (class_of(controls[i]) == "Static" && !page::text(controls[i]).empty()) {
      EXPECT_TRUE(page::text_fits(controls[i])) << page::text(controls[i]);
    }
    for (size_t j = i + 1; j < controls.size() && !is_group_box(controls[i]); ++j) {
      if (is_group_box(controls[j])) continue;
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

// The controls the pages' code reads and fills, of the class and style it relies on.
TEST(DialogTemplateDetails, ControlsThePagesFillAndRead) {
  const struct {
    WORD dialog;
    int id;
    const char *cls;
    LONG must, must_not;
  } controls[] = {
      {IDD_LICENSE, IDC_LICENSE_TEXT, "Edit", ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0},
      {IDD_DIRECTORY, IDC_DIRECTORY_EDIT, "Edit", 0, ES_MULTILINE},
      {IDD_DIRECTORY, IDC_DIRECTORY_BROWSE, "Button", 0, 0},
      {IDD_DIRECTORY, IDC_SPACE_NEEDED, "Static", 0, 0},
      {IDD_DIRECTORY, IDC_SPACE_AVAILABLE, "Static", 0, 0},
      {IDD_START_MENU, IDC_START_MENU_LIST, "ListBox", LBS_SORT | LBS_NOTIFY, 0},
      {IDD_UNINSTALLING, IDC_UNINSTALL_LIST, "ListBox", LBS_NOSEL, 0},
      {IDD_UNINSTALLING, IDC_UNINSTALL_TEXT, "Static", 0, 0},
      {IDD_UNINSTALLING, IDC_UNINSTALL_RESULT, "Static", 0, 0},
      {IDD_DETAILS, IDC_DETAILS_LIST, "ListBox", 0, 0},
  };
  for (const auto &c : controls) {
    Template page(c.dialog);
    HWND control = GetDlgItem(page.get(), c.id);
    ASSERT_NE(control, nullptr) << c.dialog << "/" << c.id;
    EXPECT_EQ(class_of(control), c.cls) << c.id;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    EXPECT_EQ(style & c.must, c.must) << c.id;
    EXPECT_EQ(style & c.must_not, 0) << c.id;
  }
  Template ready(IDD_READY);
  for (int id = IDC_READY_FIRST; id <= IDC_READY_LAST; ++id) EXPECT_NE(GetDlgItem(ready.get(), id), nullptr) << id;
}

// The picture and the edit come first, so the program finds them by 300 and 301, which the two
// introductory texts repeat after them.
TEST(DialogTemplateDetails, StartMenuPageFindsItsEditBeforeTheRepeatedIds) {
  Template page(IDD_START_MENU);
  std::vector<HWND> controls = page.controls();
  ASSERT_GE(controls.size(), 4u);
  EXPECT_EQ(GetDlgCtrlID(controls[0]), IDC_SIDE_BITMAP);
  EXPECT_EQ(GetDlgCtrlID(controls[1]), IDC_START_MENU_EDIT);
  EXPECT_EQ(class_of(controls[1]), "Edit");
}

std::string own_string(int id) {
  char text[1024] = {0};
  return LoadStringA(own_module(), static_cast<UINT>(id), text, sizeof text) > 0 ? text : "<missing>";
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

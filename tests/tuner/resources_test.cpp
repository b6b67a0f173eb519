// The tuner's string table and dialog template, as the program loads them.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "resource.h"

namespace {

std::string load(unsigned id) {
  char text[512];
  int n = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
  return n > 0 ? std::string(text, n) : std::string();
}

TEST(TunerResources, StringTableHoldsTheExactTexts) {
  const struct {
    unsigned id;
    const char *text;
  } strings[] = {
      {IDS_TITLE, "Skellan"},
      {IDS_REBOOT, "Please reboot your system for changes to take effect"},
      {IDS_PLATFORM, "The Skellan only works on Windows 95/98"},
      {IDS_PRODUCT_KEY, "Software\\Quorvane\\Tarnell"},
      {IDS_ABOUT, "Skellan Build 100"},
      {IDS_RESTORED, "Original TCP/IP settings restored"},
      {IDS_RESTORE_QUESTION, "Do you want to restore original TCP/IP settings?"},
      {IDS_ADVANCED_MORE, "Advanced>>"},
      {IDS_ADVANCED_LESS, "<<Advanced"},
  };
  for (const auto &s : strings) EXPECT_EQ(s.text, load(s.id)) << s.id;
  for (unsigned id : {IDS_NO_MEMORY, IDS_BAD_MTU, IDS_BAD_TTL, IDS_BAD_FLAG}) EXPECT_NE("", load(id)) << id;
}

INT_PTR CALLBACK inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(TunerResources, DialogControlsComeInTemplateOrderWithTheirTextsAndStyles) {
  const struct {
    int id;
    const char *cls;
    const char *text;
    DWORD must, must_not;
  } controls[] = {
      {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {IDCANCEL, "Button", "Cancel", WS_TABSTOP, 0},
      {IDC_ABOUT, "Button", "About", WS_TABSTOP, 0},
      {IDC_RESTORE, "Button", "Restore", WS_TABSTOP, 0},
      {IDC_ADVANCED, "Button", "Advanced>>", WS_TABSTOP, 0},
      {IDC_TYPE_MODEM_SLOW, "Button", "<28.8K modem", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
      {IDC_TYPE_MODEM_33K, "Button", "28.8K/33.6K modem", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_MODEM_56K, "Button", "56K modem", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_ISDN, "Button", "ISDN", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_T1E1, "Button", "T1/E1", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_DSL, "Button", "DSL", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_SATELLITE, "Button", "Satellite link", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_LAN, "Button", "LAN", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_MAX_MTU, "Edit", "", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 0},
      {IDC_RCV_WINDOW, "Edit", "", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 0},
      {IDC_TTL, "Edit", "", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 0},
      {IDC_PMTU_DISCOVERY, "Button", "MTU Autodetect", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 0},
      {IDC_BLACKHOLE_DETECT, "Button", "Blackhole detect", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 0},
      {IDC_DEFAULT, "Button", "Default", WS_TABSTOP, 0},
      {IDC_HELP_BUTTON, "Button", "Help", WS_TABSTOP, 0},
      {-1, "Static", "Max Transmission Unit", WS_GROUP, 0},
      {-1, "Static", "Receive Window", WS_GROUP, 0},
      {-1, "Static", "Time to live", WS_GROUP, 0},
      {-1, "Button", "Optimize for: ", BS_GROUPBOX, 0},
      {-1, "Button", "Advanced options: ", BS_GROUPBOX, 0},
      {IDC_MARK_BASIC, "Static", "", WS_DISABLED, WS_VISIBLE},
      {IDC_MARK_FULL, "Static", "", WS_DISABLED, WS_VISIBLE},
  };
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TUNER), nullptr, inert, 0);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
            DWORD(GetWindowLongA(dialog, GWL_STYLE)) & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  HWND child = GetWindow(dialog, GW_CHILD);
  std::set<int> ids;
  for (const auto &c : controls) {
    SCOPED_TRACE(c.text);
    ASSERT_NE(nullptr, child);
    char cls[32], text[64];
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    EXPECT_EQ(c.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(child))));
    EXPECT_STRCASEEQ(c.cls, cls);
    EXPECT_STREQ(c.text, text);
    EXPECT_EQ(c.must, style & c.must);
    EXPECT_EQ(0u, style & c.must_not);
    if (std::string(cls) == "Edit") {  // the dialog manager draws a bordered edit sunken
      EXPECT_TRUE((style & WS_BORDER) || (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE));
    }
    if (c.id != -1) {
      EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
    }
    child = GetWindow(child, GW_HWNDNEXT);
  }
  EXPECT_EQ(nullptr, child);
  DestroyWindow(dialog);
}

}  // namespace

// The tuner's string table and dialog template, as its code uses them.
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

TEST(TunerResources, EveryStringTheCodeLoadsIsThere) {
  for (unsigned id : {IDS_TITLE, IDS_REBOOT, IDS_PLATFORM, IDS_PRODUCT_KEY, IDS_ABOUT, IDS_RESTORED, IDS_RESTORE_QUESTION,
                      IDS_ADVANCED_MORE, IDS_ADVANCED_LESS, IDS_NO_MEMORY, IDS_BAD_MTU, IDS_BAD_TTL, IDS_BAD_FLAG})
    EXPECT_NE("", load(id)) << id;
}

INT_PTR CALLBACK inert(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The tab order, the radio groups (arrow keys move within one) and the styles the code relies on.
TEST(TunerResources, DialogControlsComeInTabOrderWithTheirStyles) {
  const struct {
    int id;
    const char *cls;
    DWORD must, must_not;
  } controls[] = {
      {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {IDCANCEL, "Button", WS_TABSTOP, 0},
      {IDC_ABOUT, "Button", WS_TABSTOP, 0},
      {IDC_RESTORE, "Button", WS_TABSTOP, 0},
      {IDC_ADVANCED, "Button", WS_TABSTOP, 0},
      {IDC_TYPE_MODEM_SLOW, "Button", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0},
      {IDC_TYPE_MODEM_33K, "Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_MODEM_56K, "Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_ISDN, "Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_T1E1, "Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_DSL, "Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_SATELLITE, "Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_TYPE_LAN, "Button", BS_AUTORADIOBUTTON, WS_GROUP | WS_TABSTOP},
      {IDC_MAX_MTU, "Edit", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 0},
      {IDC_RCV_WINDOW, "Edit", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 0},
      {IDC_TTL, "Edit", ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 0},
      {IDC_PMTU_DISCOVERY, "Button", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 0},
      {IDC_BLACKHOLE_DETECT, "Button", BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP, 0},
      {IDC_DEFAULT, "Button", WS_TABSTOP, 0},
      {IDC_HELP_BUTTON, "Button", WS_TABSTOP, 0},
      {-1, "Static", WS_GROUP, 0},
      {-1, "Static", WS_GROUP, 0},
      {-1, "Static", WS_GROUP, 0},
      {-1, "Button", BS_GROUPBOX, 0},
      {-1, "Button", BS_GROUPBOX, 0},
      {IDC_MARK_BASIC, "Static", WS_DISABLED, WS_VISIBLE},
      {IDC_MARK_FULL, "Static", WS_DISABLED, WS_VISIBLE},
  };
  HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TUNER), nullptr, inert, 0);
  ASSERT_NE(nullptr, dialog);
  EXPECT_EQ(DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
            DWORD(GetWindowLongA(dialog, GWL_STYLE)) & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
  HWND child = GetWindow(dialog, GW_CHILD);
  std::set<int> ids;
  for (const auto &c : controls) {
    SCOPED_TRACE(c.id);
    ASSERT_NE(nullptr, child);
    char cls[32];
    GetClassNameA(child, cls, sizeof cls);
    DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
    EXPECT_EQ(c.id, static_cast<int>(static_cast<short>(GetDlgCtrlID(child))));
    EXPECT_STRCASEEQ(c.cls, cls);
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

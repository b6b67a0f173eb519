// What the tuner dialog shows: the five values in their controls, the advanced area and its size.
#include "dialog_view.h"

#include "decimal_text.h"
#include "resource.h"
#include "tuner_settings.h"
#include "tuner_state.h"

namespace {

const int kAdvancedControls[] = {IDC_MAX_MTU, IDC_RCV_WINDOW,  IDC_TTL,        IDC_PMTU_DISCOVERY,
                                 IDC_BLACKHOLE_DETECT, IDC_DEFAULT, IDC_HELP_BUTTON};

void show_number(HWND dialog, int control, int32_t value) {
  char text[16];
  format_decimal(text, sizeof text, value);
  SendDlgItemMessageA(dialog, control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

int32_t take_number(HWND dialog, int control) {
  char text[257];
  text[0] = '\0';
  SendDlgItemMessageA(dialog, control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  text[256] = '\0';
  return parse_decimal(text);
}

int32_t take_check(HWND dialog, int control) { return IsDlgButtonChecked(dialog, control) == BST_CHECKED ? 1 : 0; }

}  // namespace

void ShowValues(HWND dialog, const TunerSettings &settings) {
  show_number(dialog, IDC_MAX_MTU, settings.MaxMTU);
  show_number(dialog, IDC_RCV_WINDOW, settings.DefaultRcvWindow);
  show_number(dialog, IDC_TTL, settings.DefaultTTL);
  CheckDlgButton(dialog, IDC_PMTU_DISCOVERY, settings.PMTUDiscovery ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_BLACKHOLE_DETECT, settings.PMTUBlackHoleDetect ? BST_CHECKED : BST_UNCHECKED);
}

void TakeValues(HWND dialog, TunerSettings &settings) {
  settings.MaxMTU = take_number(dialog, IDC_MAX_MTU);
  settings.DefaultRcvWindow = take_number(dialog, IDC_RCV_WINDOW);
  settings.DefaultTTL = take_number(dialog, IDC_TTL);
  settings.PMTUDiscovery = take_check(dialog, IDC_PMTU_DISCOVERY);
  settings.PMTUBlackHoleDetect = take_check(dialog, IDC_BLACKHOLE_DETECT);
}

void EnableAdvanced(HWND dialog, BOOL on) {
  for (int control : kAdvancedControls) EnableWindow(GetDlgItem(dialog, control), on);
}

int HeightTo(HWND dialog, int marker) {
  RECT box, mark;
  GetWindowRect(dialog, &box);
  GetWindowRect(GetDlgItem(dialog, marker), &mark);
  return mark.bottom - box.top;
}

void resize_dialog(HWND dialog, int height) {
  RECT box;
  GetWindowRect(dialog, &box);
  SetWindowPos(dialog, nullptr, 0, 0, box.right - box.left, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void show_mode(HWND dialog, int mode) {
  resize_dialog(dialog, HeightTo(dialog, mode == 1 ? IDC_MARK_FULL : IDC_MARK_BASIC));
  SetDlgItemTextA(dialog, IDC_ADVANCED, mode == 1 ? g_text_less : g_text_more);
  EnableAdvanced(dialog, mode == 1);
}

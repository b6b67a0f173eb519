// Running one wizard page in the test program and working it as a person would: a timer on the
// same thread fires inside the page's modal loop and runs the test's script against the dialog
// (read texts, type, click). setup's resources are linked into the test program.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "res/resource.h"
#include "sdk/setup_info.h"
#include "wizard/dialog_host.h"
#include "wizard/pages.h"

namespace page {

// The end code a page gets when its script left it open too long.
const INT_PTR kTimedOut = 999;

using Script = std::function<void(HWND dialog)>;

struct Page {
  WORD id;
  DLGPROC procedure;
  const char *name;
};

inline const std::vector<Page> &all_pages() {
  static const std::vector<Page> pages = {
      {IDD_WELCOME, welcome_dialog_proc, "welcome"},      {IDD_LICENSE, license_dialog_proc, "license"},
      {IDD_DIRECTORY, directory_dialog_proc, "directory"}, {IDD_START_MENU, start_menu_dialog_proc, "start_menu"},
      {IDD_READY, ready_dialog_proc, "ready"},            {IDD_COMPLETE, complete_dialog_proc, "complete"},
      {IDD_PREVIOUS, previous_dialog_proc, "previous"},
  };
  return pages;
}

// Templates, strings and the side bitmap come from this program, as they come from setup.exe
// when no resource library is named.
inline void use_own_resources(SetupInfo *info) {
  info->setup_instance = GetModuleHandleA(nullptr);
  info->resource_instance = GetModuleHandleA(nullptr);
}

struct RunState {
  Script *script = nullptr;
  HWND dialog = nullptr;
  bool script_ran = false;
};

inline RunState &state() {
  static RunState run;
  return run;
}

inline BOOL CALLBACK match_dialog(HWND window, LPARAM param) {
  char name[16] = {0};
  GetClassNameA(window, name, sizeof name);
  if (std::string(name) != "#32770") return TRUE;
  *reinterpret_cast<HWND *>(param) = window;
  return FALSE;
}

// The dialog this thread has open (there is only ever one page at a time).
inline HWND find_dialog() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), match_dialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Runs the script once the page is on the screen (the timer keeps ticking until then).
inline void CALLBACK run_script(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = find_dialog();
  if (dialog && !IsWindowVisible(dialog)) return;
  KillTimer(nullptr, timer);
  if (!dialog) {
    ADD_FAILURE() << "no page is open";
    return;
  }
  state().dialog = dialog;
  state().script_ran = true;
  (*state().script)(dialog);
}

inline void CALLBACK stop_forgotten_page(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND dialog = find_dialog();
  if (!dialog) return;
  ADD_FAILURE() << "the page was still open after its script";
  EndDialog(dialog, kTimedOut);
}

// Shows template id with procedure and info, runs script once the page is up, and returns the
// page's end code. A page that ends while it is being created never runs the script.
inline INT_PTR run(WORD id, DLGPROC procedure, SetupInfo *info, Script script) {
  state().script = &script;
  state().dialog = nullptr;
  state().script_ran = false;
  UINT_PTR start = SetTimer(nullptr, 0, 50, run_script);
  UINT_PTR watchdog = SetTimer(nullptr, 0, 20000, stop_forgotten_page);
  DialogData data = {info, nullptr};
  INT_PTR code = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr, procedure,
                                 reinterpret_cast<LPARAM>(&data));
  KillTimer(nullptr, start);
  KillTimer(nullptr, watchdog);
  MSG message;
  while (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
  }
  state().script = nullptr;
  return code;
}

inline bool script_ran() { return state().script_ran; }

inline std::string text(HWND window) {
  char buffer[4096] = {0};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

inline std::string text(HWND dialog, int id) { return text(GetDlgItem(dialog, id)); }

// Replaces a control's text as typing would: the edit notifies the page of the change.
inline void type(HWND dialog, int id, const std::string &value) { SetDlgItemTextA(dialog, id, value.c_str()); }

inline bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

inline void click(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Whether a static control's text fits its box when wrapped at words in the control's font.
inline bool text_fits(HWND control) {
  std::string value = text(control);
  RECT box;
  GetClientRect(control, &box);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  RECT need = {0, 0, box.right, 0};
  DrawTextA(dc, value.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return need.bottom <= box.bottom && need.right <= box.right;
}

// The texts of every control, in template order, to see that nothing changed.
inline std::vector<std::string> all_texts(HWND dialog) {
  std::vector<std::string> texts = {text(dialog)};
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    texts.push_back(text(child));
  }
  return texts;
}

}  // namespace page

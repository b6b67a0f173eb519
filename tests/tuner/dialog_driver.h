// Driving the tuner's windows from another thread or process, as a person would: finding the
// dialog and its message boxes by their caption, clicking, typing and answering.
#pragma once

#include <windows.h>

#include <string>

#include "../../tuner/resource.h"
#include "../support/window_driver.h"

namespace driver {

using window_driver::wait_gone;
inline std::string window_text(HWND window) { return window_driver::text_of(window); }

struct Search {
  bool want_dialog;  // the tuner dialog (it has the Advanced button) or a message box
  HWND found;
  int count;
};

inline BOOL CALLBACK match_window(HWND window, LPARAM param) {
  Search *search = reinterpret_cast<Search *>(param);
  char name[64];
  if (!IsWindowVisible(window) || !GetClassNameA(window, name, sizeof name) || std::string(name) != "#32770")
    return TRUE;
  char title[64];
  GetWindowTextA(window, title, sizeof title);
  if (std::string(title) != "Skellan") return TRUE;
  bool is_dialog = GetDlgItem(window, IDC_ADVANCED) != nullptr;
  if (is_dialog != search->want_dialog) return TRUE;
  if (!search->found) search->found = window;
  search->count++;
  return TRUE;
}

inline HWND find(bool dialog) {
  Search search = {dialog, nullptr, 0};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline int count_dialogs() {
  Search search = {true, nullptr, 0};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  return search.count;
}

inline HWND wait_for(bool dialog, DWORD milliseconds = 10000) {
  for (DWORD waited = 0; waited < milliseconds; waited += 20) {
    HWND window = find(dialog);
    if (window) return window;
    Sleep(20);
  }
  return nullptr;
}

inline HWND wait_dialog() { return wait_for(true); }
inline HWND wait_message_box() { return wait_for(false); }

inline std::string message_text(HWND box) { return window_driver::message_of(box); }

// Waits for a message box, returns its text and answers it with the button (IDOK, IDYES, IDNO).
inline std::string answer(int button) {
  HWND box = wait_message_box();
  if (!box) return "(no message box)";
  std::string text = message_text(box);
  window_driver::press(box, button);
  wait_gone(box);
  return text;
}

// A click whose handler finishes without a modal window.
inline void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
// A click whose handler opens a message box: posted, so the caller can answer it.
inline void press(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

inline void type(HWND dialog, int id, const char *text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
inline std::string text(HWND dialog, int id) { return window_text(GetDlgItem(dialog, id)); }
inline bool checked(HWND dialog, int id) {
  return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline int height(HWND window) {
  RECT box;
  GetWindowRect(window, &box);
  return box.bottom - box.top;
}

// Height of the dialog window that ends just below a marker control.
inline int height_to(HWND dialog, int marker) {
  RECT box, mark;
  GetWindowRect(dialog, &box);
  GetWindowRect(GetDlgItem(dialog, marker), &mark);
  return mark.bottom - box.top;
}

// Closes whatever the tuner still shows: message boxes first, then the dialog.
inline void close_all() {
  for (int round = 0; round < 20; ++round) {
    HWND box = find(false);
    if (box) {
      PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      wait_gone(box, 2000);
      continue;
    }
    HWND dialog = find(true);
    if (!dialog) return;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    wait_gone(dialog, 2000);
  }
}

}  // namespace driver

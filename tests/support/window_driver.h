// Working the windows of this or another program as a person would, for the tests: reading their
// texts, pressing a button, and waiting for a window to go. The dialog drivers, the box answerers
// and the campaign's runner all work windows through these.
#pragma once

#include <windows.h>

#include <string>

namespace window_driver {

// WM_GETTEXT rather than GetWindowText, which reaches neither another program's edit controls nor
// another thread's; a window that does not answer within 5 s gives "".
inline std::string text_of(HWND window) {
  char text[4096] = {0};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                           &n))
    return std::string();
  return std::string(text, n < sizeof text ? n : sizeof text - 1);
}

// A box's message: the texts of its static controls.
inline std::string message_of(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[32] = {0};
    GetClassNameA(child, name, sizeof name);
    if (std::string(name) == "Static") text += text_of(child);
  }
  return text;
}

// A click on button id of window as a person's arrives: posted, so a box it opens can be answered.
inline void press(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

// Waits at most milliseconds until window is gone; true when it went.
inline bool wait_gone(HWND window, DWORD milliseconds = 10000) {
  for (DWORD start = GetTickCount(); IsWindow(window); Sleep(20))
    if (GetTickCount() - start >= milliseconds) return false;
  return true;
}

// Waits at most milliseconds until window no longer takes input: gone, hidden, or disabled under
// a box it opened. The next search then cannot find it again while it goes.
inline void wait_done_with(HWND window, DWORD milliseconds = 5000) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(20))
    if (!IsWindow(window) || !IsWindowVisible(window) || !IsWindowEnabled(window)) return;
}

}  // namespace window_driver

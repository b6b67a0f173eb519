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

// A program's windows as a person tells them apart: its main dialog has the caption and a control
// no box has (the marker); its message boxes have the caption without it.
struct ProgramWindows {
  const char *caption;
  int marker;
};

struct Search {
  const ProgramWindows *program;
  bool want_main;
  HWND found;
  int count;
};

inline BOOL CALLBACK match_window(HWND window, LPARAM param) {
  Search *search = reinterpret_cast<Search *>(param);
  char name[64] = {0};
  if (!IsWindowVisible(window) || !GetClassNameA(window, name, sizeof name) || std::string(name) != "#32770")
    return TRUE;
  if (text_of(window) != search->program->caption) return TRUE;
  if ((GetDlgItem(window, search->program->marker) != nullptr) != search->want_main) return TRUE;
  if (!search->found) search->found = window;
  search->count++;
  return TRUE;
}

// The first such window shown (main dialog or box), and how many there are.
inline HWND find(const ProgramWindows &program, bool main, int *count = nullptr) {
  Search search = {&program, main, nullptr, 0};
  EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
  if (count) *count = search.count;
  return search.found;
}

inline HWND wait_for(const ProgramWindows &program, bool main, DWORD milliseconds = 10000) {
  for (DWORD start = GetTickCount();; Sleep(20)) {
    if (HWND window = find(program, main)) return window;
    if (GetTickCount() - start >= milliseconds) return nullptr;
  }
}

// Waits for a box, returns its message and answers it with button (IDOK, IDYES, IDNO); "(no
// message box)" when none came.
inline std::string answer(const ProgramWindows &program, int button) {
  HWND box = wait_for(program, false);
  if (!box) return "(no message box)";
  std::string text = message_of(box);
  press(box, button);
  wait_gone(box);
  return text;
}

// Closes whatever the program still shows: boxes first (Cancel, or OK where there is none), then
// the main dialog with Cancel only, so that nothing is confirmed on the way out.
inline void close_all(const ProgramWindows &program) {
  for (int round = 0; round < 20; ++round) {
    HWND window = find(program, false);
    bool box = window != nullptr;
    if (!box) window = find(program, true);
    if (!window) return;
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    if (box) PostMessageA(window, WM_COMMAND, IDOK, 0);
    wait_gone(window, 2000);
  }
}

// A click on a dialog's button, which a disabled button ignores: sent, so that a handler opening no
// window has finished on return, or posted, so that a box the handler opens can be answered.
inline void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void post_click(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
inline void type(HWND dialog, int id, const char *text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
inline std::string text(HWND dialog, int id) { return text_of(GetDlgItem(dialog, id)); }
inline bool checked(HWND dialog, int id) {
  return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

inline int height(HWND window) {
  RECT box;
  GetWindowRect(window, &box);
  return box.bottom - box.top;
}

// The height of the dialog window that ends just below a marker control.
inline int height_to(HWND dialog, int marker) {
  RECT box, mark;
  GetWindowRect(dialog, &box);
  GetWindowRect(GetDlgItem(dialog, marker), &mark);
  return mark.bottom - box.top;
}

}  // namespace window_driver

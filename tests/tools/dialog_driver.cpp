// dialog_driver: finds top-level windows of other programs and works their controls, so that
// end-to-end tests can click through setup and tuner as a person would.
//   dialog_driver wait TITLE TEXT ID [TIMEOUT_MS]   wait for a window, print its texts, press ID (0: none)
//   dialog_driver gone TITLE [TIMEOUT_MS]           wait until no window has TITLE
//   dialog_driver settext TITLE ID TEXT             set a control's text
//   dialog_driver gettext TITLE ID                  print a control's text
//   dialog_driver enabled TITLE ID                  print 1 when the control is enabled, else 0
//   dialog_driver items TITLE ID                    print a list box's items, one a line
//   dialog_driver list                              print every visible top-level window
// TITLE "*" matches any caption; TEXT is a substring of the window's or a child's text ("*" any).
// Exit status 0 on success, 1 when nothing matched in time, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "../support/window_driver.h"

namespace {

using window_driver::text_of;

struct Search {
  std::string title;
  std::string text;
  HWND found = nullptr;
  std::string texts;
};

BOOL CALLBACK collect_child(HWND child, LPARAM param) {
  std::string *texts = reinterpret_cast<std::string *>(param);
  std::string text = text_of(child);
  if (!text.empty()) *texts += "|" + text;
  return TRUE;
}

std::string all_texts(HWND window) {
  std::string texts = text_of(window);
  EnumChildWindows(window, collect_child, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

BOOL CALLBACK match_window(HWND window, LPARAM param) {
  Search *search = reinterpret_cast<Search *>(param);
  if (!IsWindowVisible(window)) return TRUE;
  if (search->title != "*" && text_of(window) != search->title) return TRUE;
  std::string texts = all_texts(window);
  if (search->text != "*" && texts.find(search->text) == std::string::npos) return TRUE;
  search->found = window;
  search->texts = texts;
  return FALSE;
}

HWND find_window(const std::string &title, const std::string &text, DWORD timeout_ms, std::string *texts) {
  DWORD start = GetTickCount();
  for (;;) {
    Search search;
    search.title = title;
    search.text = text;
    EnumWindows(match_window, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      if (texts) *texts = search.texts;
      return search.found;
    }
    if (GetTickCount() - start >= timeout_ms) return nullptr;
    Sleep(100);
  }
}

BOOL CALLBACK print_window(HWND window, LPARAM) {
  if (IsWindowVisible(window)) {
    char cls[256];
    GetClassNameA(window, cls, sizeof cls);
    printf("%s [%s] %s\n", text_of(window).c_str(), cls, all_texts(window).c_str());
  }
  return TRUE;
}

DWORD timeout_arg(int argc, char **argv, int index) {
  return argc > index ? static_cast<DWORD>(strtoul(argv[index], nullptr, 10)) : 20000;
}

int command_wait(int argc, char **argv) {
  if (argc < 5) return 2;
  std::string texts;
  HWND window = find_window(argv[2], argv[3], timeout_arg(argc, argv, 5), &texts);
  if (!window) {
    fprintf(stderr, "no window \"%s\" with \"%s\"\n", argv[2], argv[3]);
    EnumWindows(print_window, 0);
    return 1;
  }
  printf("%s\n", texts.c_str());
  int id = atoi(argv[4]);
  if (!id) return 0;
  window_driver::press(window, id);
  window_driver::wait_done_with(window);
  return 0;
}

int command_gone(int argc, char **argv) {
  if (argc < 3) return 2;
  DWORD start = GetTickCount(), timeout = timeout_arg(argc, argv, 3);
  while (find_window(argv[2], "*", 0, nullptr)) {
    if (GetTickCount() - start >= timeout) return 1;
    Sleep(100);
  }
  return 0;
}

int command_control(int argc, char **argv) {
  if (argc < 4) return 2;
  HWND window = find_window(argv[2], "*", 20000, nullptr);
  if (!window) return 1;
  HWND control = GetDlgItem(window, atoi(argv[3]));
  if (!control) return 1;
  std::string command = argv[1];
  if (command == "settext") {
    if (argc < 5) return 2;
    SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
  } else if (command == "gettext") {
    printf("%s\n", text_of(control).c_str());
  } else if (command == "items") {
    LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
    // Read as wide text: across processes Wine passes only the first character of the ANSI form.
    for (LRESULT i = 0; i < count; ++i) {
      wchar_t wide[1024] = {0};
      char item[2048] = {0};
      if (SendMessageW(control, LB_GETTEXTLEN, i, 0) < 1024) SendMessageW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide));
      WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, nullptr, nullptr);
      printf("%s\n", item);
    }
  } else {
    printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
  }
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return 2;
  std::string command = argv[1];
  if (command == "wait") return command_wait(argc, argv);
  if (command == "gone") return command_gone(argc, argv);
  if (command == "settext" || command == "gettext" || command == "enabled" || command == "items")
    return command_control(argc, argv);
  if (command == "list") {
    EnumWindows(print_window, 0);
    return 0;
  }
  return 2;
}

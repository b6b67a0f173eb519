// dialog_driver: finds top-level windows of other programs and works their controls, so that
// end-to-end tests can click through setup and tuner as a person would.
//   dialog_driver wait TITLE TEXT ID [TIMEOUT_MS]   wait for a window, print its texts, press ID (0: none)
//   dialog_driver gone TITLE [TIMEOUT_MS]           wait until no window has TITLE
//   dialog_driver settext TITLE ID TEXT             set a control's text
//   dialog_driver gettext TITLE ID                  print a control's text
//   dialog_driver enabled TITLE ID                  print 1 when the control is enabled, else 0
//   dialog_driver items TITLE ID                    print a list box's items, one a line
//   dialog_driver list                              print every visible top-level window
//   dialog_driver steps TITLE MARKER STEP...        work a program's dialog, one step at a time
// TITLE "*" matches any caption; TEXT is a substring of the window's or a child's text ("*" any).
// Exit status 0 on success, 1 when nothing matched in time (or a step failed), 2 on bad arguments.
//
// The steps work the dialog captioned TITLE that has the control MARKER, and its boxes (the same
// caption without it); the first step that fails ends the program:
//   wait                 wait until the dialog is shown
//   click=ID             click a control whose handler opens no window (sent, so it has finished after)
//   press=ID             click a control whose handler opens a message box (posted)
//   type=ID:TEXT         replace the text of an edit field
//   expect=ID:TEXT       the control's text must be TEXT
//   checked=ID:0|1       the button's check state
//   height=ID            the dialog must end just below the (hidden) control ID
//   answer=ok|yes|no[:TEXT]  wait for a message box (whose text must be TEXT), press the button
//   gone                 wait until the dialog has closed
//   dialogs=N            exactly N such dialogs are open
//   rect                 print the dialog's window rectangle as WxH+X+Y for cropping a screenshot
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

int fail(const std::string &step, const std::string &why) {
  fprintf(stderr, "dialog_driver: %s: %s\n", step.c_str(), why.c_str());
  return 1;
}

// Splits "HEAD:TAIL"; has_tail tells whether there was a colon.
void split(const std::string &argument, std::string *head, std::string *tail, bool *has_tail) {
  size_t colon = argument.find(':');
  *head = argument.substr(0, colon);
  *has_tail = colon != std::string::npos;
  *tail = *has_tail ? argument.substr(colon + 1) : std::string();
}

int answer_step(const window_driver::ProgramWindows &program, const std::string &step, const std::string &argument) {
  std::string name, expected;
  bool check_text = false;
  split(argument, &name, &expected, &check_text);
  int button = name == "yes" ? IDYES : name == "no" ? IDNO : IDOK;
  HWND box = window_driver::wait_for(program, false);
  if (!box) return fail(step, "no message box");
  std::string text = window_driver::message_of(box);
  if (check_text && text != expected) return fail(step, "message is \"" + text + "\"");
  window_driver::press(box, button);
  return window_driver::wait_gone(box) ? 0 : fail(step, "message box stays");
}

int control_step(HWND dialog, const std::string &step, const std::string &verb, const std::string &argument) {
  std::string id_text, value;
  bool has_value = false;
  split(argument, &id_text, &value, &has_value);
  int id = atoi(id_text.c_str());
  HWND control = GetDlgItem(dialog, id);
  if (!control) return fail(step, "no such control");
  if (verb == "click") {
    window_driver::click(dialog, id);
  } else if (verb == "press") {
    window_driver::post_click(dialog, id);
  } else if (verb == "type") {
    window_driver::type(dialog, id, value.c_str());
  } else if (verb == "expect") {
    std::string have = text_of(control);
    if (have != value) return fail(step, "text is \"" + have + "\"");
  } else if (verb == "checked") {
    if (window_driver::checked(dialog, id) != (value == "1")) return fail(step, "other check state");
  } else if (verb == "height") {
    int want = window_driver::height_to(dialog, id), have = window_driver::height(dialog);
    if (have != want) return fail(step, "height " + std::to_string(have) + ", not " + std::to_string(want));
  } else {
    return fail(step, "unknown step");
  }
  return 0;
}

int dialog_step(const window_driver::ProgramWindows &program, HWND *dialog, const std::string &text) {
  size_t equals = text.find('=');
  std::string verb = text.substr(0, equals);
  std::string argument = equals == std::string::npos ? std::string() : text.substr(equals + 1);
  if (verb == "wait") {
    *dialog = window_driver::wait_for(program, true);
    return *dialog ? 0 : fail(text, "no dialog");
  }
  if (verb == "answer") return answer_step(program, text, argument);
  if (verb == "dialogs") {
    int count = 0;
    window_driver::find(program, true, &count);
    return count == atoi(argument.c_str()) ? 0 : fail(text, std::to_string(count) + " dialogs");
  }
  if (!*dialog) *dialog = window_driver::find(program, true);
  if (!*dialog) return fail(text, "no dialog");
  if (verb == "gone") return window_driver::wait_gone(*dialog) ? 0 : fail(text, "dialog stays");
  if (verb == "rect") {
    RECT box;
    GetWindowRect(*dialog, &box);
    printf("%ldx%ld+%ld+%ld\n", box.right - box.left, box.bottom - box.top, box.left, box.top);
    return 0;
  }
  return control_step(*dialog, text, verb, argument);
}

int command_steps(int argc, char **argv) {
  if (argc < 4) return 2;
  window_driver::ProgramWindows program = {argv[2], atoi(argv[3])};
  HWND dialog = nullptr;
  for (int i = 4; i < argc; ++i)
    if (dialog_step(program, &dialog, argv[i]) != 0) return 1;
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
  if (command == "steps") return command_steps(argc, argv);
  if (command == "list") {
    EnumWindows(print_window, 0);
    return 0;
  }
  return 2;
}

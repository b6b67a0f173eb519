// Answering the hook library's windows in a silent run, through a computer-based-training hook on
// setup's thread: each dialog that becomes active is noted, and a thread timer, which the dialog's
// own loop runs once the dialog is ready, logs its caption and texts and presses its default
// button with a posted command.
#include "util/silent_windows.h"

#include "sdk/setup_results.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/run_options.h"

namespace {

struct Watch {
  HHOOK hook = nullptr;
  const char *caller = nullptr;
  HWND pending = nullptr;        // activated, to be answered once its loop runs
  HWND last_answered = nullptr;
  int answered = 0;
};

Watch g_watch;

bool is_dialog(HWND window) {
  char name[16] = {0};
  return GetClassNameA(window, name, sizeof name) && lstrcmpA(name, "#32770") == 0;
}

struct TextGather {
  char *out;
  size_t size;
};

// Appends the text of each static child (a message box's message, a dialog's labels), " / " between.
BOOL CALLBACK gather_static_text(HWND child, LPARAM param) {
  TextGather *gather = reinterpret_cast<TextGather *>(param);
  char name[16] = {0};
  char text[512] = {0};
  if (!GetClassNameA(child, name, sizeof name) || lstrcmpiA(name, "Static") != 0) return TRUE;
  if (GetWindowTextA(child, text, sizeof text) <= 0) return TRUE;
  if (gather->out[0]) append_text(gather->out, gather->size, " / ");
  append_text(gather->out, gather->size, text);
  return TRUE;
}

// The button's text without its mnemonic ampersands, or its number when it has none.
void button_name(HWND dialog, int id, char *out, size_t size) {
  char text[64] = {0};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  size_t n = 0;
  for (const char *p = text; *p && n + 1 < size; ++p)
    if (*p != '&') out[n++] = *p;
  out[n] = 0;
  if (n == 0) format_text(out, size, "button %d", id);
}

void stop_the_run() {
  log_line("hook %s: opened %d windows in a silent run; the run ends as cancelled",
           g_watch.caller ? g_watch.caller : "?", kMaxSilentWindows);
  log_line("setup: end: exit status %d", EXIT_STOPPED);
  log_close();
  ExitProcess(EXIT_STOPPED);
}

void answer(HWND dialog) {
  if (!IsWindow(dialog) || dialog == g_watch.last_answered) return;
  g_watch.last_answered = dialog;
  if (++g_watch.answered > kMaxSilentWindows) stop_the_run();
  char caption[256] = {0}, text[1024] = {0}, button[64];
  GetWindowTextA(dialog, caption, sizeof caption);
  TextGather gather = {text, sizeof text};
  EnumChildWindows(dialog, gather_static_text, reinterpret_cast<LPARAM>(&gather));
  int id = silent_answer_for(dialog);
  button_name(dialog, id, button, sizeof button);
  log_line("hook %s: window \"%s\": %s (answered %s)", g_watch.caller ? g_watch.caller : "?", caption, text, button);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Runs from the dialog's own message loop, once the dialog has made itself ready (its default
// button chosen, its texts set).
void CALLBACK answer_pending(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  HWND dialog = g_watch.pending;
  g_watch.pending = nullptr;
  if (dialog) answer(dialog);
}

LRESULT CALLBACK watch_activation(int code, WPARAM wparam, LPARAM lparam) {
  HWND window = reinterpret_cast<HWND>(wparam);
  if (code == HCBT_ACTIVATE && window != g_watch.last_answered && is_dialog(window)) {
    g_watch.pending = window;
    SetTimer(nullptr, 0, USER_TIMER_MINIMUM, answer_pending);
  }
  return CallNextHookEx(g_watch.hook, code, wparam, lparam);
}

bool is_usable_button(HWND dialog, int id) {
  HWND button = id ? GetDlgItem(dialog, id) : nullptr;
  return button && IsWindowVisible(button) && IsWindowEnabled(button);
}

struct DefaultSearch {
  int id;
};

// The first visible, enabled push button that shows itself as the default.
BOOL CALLBACK find_default_button(HWND child, LPARAM param) {
  char name[16] = {0};
  if (!GetClassNameA(child, name, sizeof name) || lstrcmpiA(name, "Button") != 0) return TRUE;
  LONG style = GetWindowLongA(child, GWL_STYLE);
  if ((style & BS_TYPEMASK) != BS_DEFPUSHBUTTON || !IsWindowVisible(child) || !IsWindowEnabled(child)) return TRUE;
  reinterpret_cast<DefaultSearch *>(param)->id = GetDlgCtrlID(child);
  return FALSE;
}

}  // namespace

int silent_answer_for(HWND dialog) {
  LRESULT found = SendMessageA(dialog, DM_GETDEFID, 0, 0);
  int id = HIWORD(found) == DC_HASDEFID ? LOWORD(found) : 0;
  if (!is_usable_button(dialog, id)) {
    DefaultSearch search = {0};
    EnumChildWindows(dialog, find_default_button, reinterpret_cast<LPARAM>(&search));
    id = search.id;
  }
  if (!is_usable_button(dialog, id)) id = is_usable_button(dialog, IDOK) ? IDOK : IDCANCEL;
  if (id == IDRETRY) id = is_usable_button(dialog, IDCANCEL) ? IDCANCEL : IDABORT;
  return id;
}

SilentWindowScope::SilentWindowScope(const char *caller) : hook_(nullptr), previous_caller_(g_watch.caller) {
  if (!run_options().silent) return;
  g_watch.caller = caller;
  if (g_watch.hook) return;
  hook_ = SetWindowsHookExA(WH_CBT, watch_activation, nullptr, GetCurrentThreadId());
  g_watch.hook = hook_;
  g_watch.answered = 0;
  g_watch.pending = nullptr;
  g_watch.last_answered = nullptr;
}

SilentWindowScope::~SilentWindowScope() {
  if (!run_options().silent) return;
  g_watch.caller = previous_caller_;
  if (!hook_) return;
  UnhookWindowsHookEx(hook_);
  g_watch.hook = nullptr;
}

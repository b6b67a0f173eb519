// Message boxes of setup.
#include "util/messages.h"

#include "util/action_log.h"
#include "util/bounded_text.h"

MessageBoxFn g_message_box = MessageBoxA;

namespace {

// The buttons of each kind of box, in the order the box shows them.
const int kButtons[][3] = {
    {IDOK, 0, 0},           {IDOK, IDCANCEL, 0}, {IDABORT, IDRETRY, IDIGNORE},
    {IDYES, IDNO, IDCANCEL}, {IDYES, IDNO, 0},    {IDRETRY, IDCANCEL, 0},
};

int default_answer(UINT type) {
  UINT kind = type & MB_TYPEMASK;
  if (kind >= sizeof kButtons / sizeof kButtons[0]) return IDOK;
  UINT position = (type & MB_DEFMASK) >> 8;
  if (position > 2 || kButtons[kind][position] == 0) position = 0;
  int answer = kButtons[kind][position];
  if (answer != IDRETRY) return answer;
  return kind == MB_ABORTRETRYIGNORE ? IDABORT : IDCANCEL;
}

const char *answer_name(int answer) {
  static const char *const kNames[] = {"", "OK", "Cancel", "Abort", "Retry", "Ignore", "Yes", "No"};
  return answer > 0 && answer < 8 ? kNames[answer] : "";
}

}  // namespace

int WINAPI answer_message_box_silently(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  int answer = default_answer(type);
  log_line("message: %s: %s (answered %s)", caption ? caption : "Error", text ? text : "", answer_name(answer));
  return answer;
}

void show_fatal_message(const char *text) {
  g_message_box(nullptr, text, nullptr, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}

void show_system_error(DWORD error, const char *caption) {
  char text[260];
  if (!system_error_text(error, text, sizeof text))
    format_text(text, sizeof text, "Error %lu.", static_cast<unsigned long>(error));
  g_message_box(nullptr, text, caption, MB_OK);
}

void show_file_error(DWORD error, const char *file, const char *caption) {
  char reason[512], text[1024];
  if (!system_error_text_about(error, file, reason, sizeof reason))
    format_text(reason, sizeof reason, "Error %lu.", static_cast<unsigned long>(error));
  if (!format_text(text, sizeof text, "%.300s\n\n%s", file ? file : "", reason)) copy_text(text, sizeof text, reason);
  g_message_box(nullptr, text, caption, MB_OK);
}

namespace {

// The system's text for error, its inserts filled in with subject when there is one (all nine of
// them: a text names each insert by number).
int format_system_text(DWORD error, const char *subject, char *out, size_t size) {
  if (error == 0 || !out || size == 0) return 0;
  char text[512];
  DWORD_PTR inserts[9];
  for (DWORD_PTR &insert : inserts) insert = reinterpret_cast<DWORD_PTR>(subject ? subject : "");
  DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | (subject ? FORMAT_MESSAGE_ARGUMENT_ARRAY : FORMAT_MESSAGE_IGNORE_INSERTS);
  DWORD n = FormatMessageA(flags, nullptr, error, 0, text, sizeof text,
                           subject ? reinterpret_cast<va_list *>(inserts) : nullptr);
  if (n == 0 || n >= sizeof text) return 0;
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
  text[n] = 0;
  return n > 0 && copy_text(out, size, text);
}

}  // namespace

int system_error_text(DWORD error, char *out, size_t size) { return format_system_text(error, nullptr, out, size); }

int system_error_text_about(DWORD error, const char *subject, char *out, size_t size) {
  return format_system_text(error, subject ? subject : "", out, size);
}


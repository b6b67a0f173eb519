// The one message with which setup tells the user why a run cannot go on.
#include "util/failure_message.h"

#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/messages.h"

namespace {

// The system's description of error, without its trailing line break; empty when it has none.
void system_text(DWORD error, char *out, DWORD size) {
  out[0] = 0;
  if (error == 0) return;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, out, size,
                           nullptr);
  if (n == 0 || n >= size) {
    format_text(out, size, "Error %lu.", static_cast<unsigned long>(error));
    return;
  }
  while (n > 0 && (out[n - 1] == '\r' || out[n - 1] == '\n' || out[n - 1] == ' ')) out[--n] = 0;
}

}  // namespace

void show_failure(SetupInfo *info, HWND owner, int id, const char *subject, DWORD error) {
  char format[MAX_PATH] = {0}, text[2 * MAX_PATH + 64] = {0}, reason[MAX_PATH] = {0};
  load_res_string(info, id, format, sizeof format);
  format_with_name(text, sizeof text, format, subject);
  system_text(error, reason, sizeof reason);
  if (reason[0] && append_text(text, sizeof text, "\n\n")) append_text(text, sizeof text, reason);
  g_message_box(owner, text, nullptr, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}

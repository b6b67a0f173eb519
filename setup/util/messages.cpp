// Message boxes of setup.
#include "util/messages.h"

#include "util/bounded_text.h"

MessageBoxFn g_message_box = MessageBoxA;

void show_fatal_message(const char *text) {
  g_message_box(nullptr, text, nullptr, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}

void show_system_error(DWORD error, const char *caption) {
  char text[260];
  if (!system_error_text(error, text, sizeof text))
    format_text(text, sizeof text, "Error %lu.", static_cast<unsigned long>(error));
  g_message_box(nullptr, text, caption, MB_OK);
}

int system_error_text(DWORD error, char *out, size_t size) {
  if (error == 0 || !out || size == 0) return 0;
  char text[MAX_PATH];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                           sizeof text, nullptr);
  if (n == 0 || n >= sizeof text) return 0;
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n' || text[n - 1] == ' ')) --n;
  text[n] = 0;
  return n > 0 && copy_text(out, size, text);
}


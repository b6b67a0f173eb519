// Message boxes of setup.
#include "util/messages.h"

#include "util/bounded_text.h"

MessageBoxFn g_message_box = MessageBoxA;

void show_fatal_message(const char *text) {
  g_message_box(nullptr, text, nullptr, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}

void show_system_error(DWORD error, const char *caption) {
  char text[260];
  DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                           sizeof text, nullptr);
  if (n == 0 || n >= sizeof text) format_text(text, sizeof text, "Error %lu.", static_cast<unsigned long>(error));
  g_message_box(nullptr, text, caption, MB_OK);
}

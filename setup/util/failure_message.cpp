// The one message with which setup tells the user why a run cannot go on.
#include "util/failure_message.h"

#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/messages.h"

void show_failure(SetupInfo *info, HWND owner, int id, const char *subject, DWORD error) {
  char format[MAX_PATH] = {0}, caption[MAX_PATH] = {0}, reason[MAX_PATH] = {0};
  char text[3 * MAX_PATH + 4] = {0};
  if (!load_res_string(info, id, format, sizeof format)) format[0] = 0;
  if (!load_res_string(info, IDS_STEP_FAILED_CAPTION, caption, sizeof caption)) caption[0] = 0;
  format_with_name(text, sizeof text, format, subject);
  if (system_error_text(error, reason, sizeof reason) && append_text(text, sizeof text, "\n\n"))
    append_text(text, sizeof text, reason);
  g_message_box(owner, text, caption[0] ? caption : nullptr, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST);
}

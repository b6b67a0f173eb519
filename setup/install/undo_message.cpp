// The message after a stopped installation was undone.
#include "install/undo_message.h"

#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/messages.h"

namespace {

String res_string(SetupInfo *info, int id) {
  char text[MAX_PATH] = {0};
  if (!load_res_string(info, id, text, sizeof text)) text[0] = 0;
  return String(text);
}

}  // namespace

void show_undo_message(SetupInfo *info, HWND owner, const UndoReport &report) {
  String text = res_string(info, report.failed ? IDS_UNDO_INCOMPLETE : IDS_UNDO_DONE);
  if (report.failed) {
    text.append("\n\n");
    text.append(report.listed);
  }
  if (report.failed > kUndoListed) {
    char count[16];
    char more[MAX_PATH + 16];
    format_text(count, sizeof count, "%d", report.failed - kUndoListed);
    format_with_name(more, sizeof more, res_string(info, IDS_UNDO_MORE).c_str(), count);
    text.append("\n");
    text.append(more);
  }
  String caption = res_string(info, IDS_UNDO_CAPTION);
  UINT icon = report.failed ? MB_ICONWARNING : MB_ICONINFORMATION;
  g_message_box(owner, text.c_str(), caption.length() ? caption.c_str() : nullptr,
                MB_OK | icon | MB_SETFOREGROUND | MB_TOPMOST);
}

// The question before an uninstall removes anything.
#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/messages.h"
#include "wizard/page_common.h"
#include "wizard/wizard.h"

int confirm_uninstall(SetupInfo *info) {
  char question[260] = {0}, caption[260] = {0}, text[260] = {0};
  load_res_string(info, IDS_UNINSTALL_QUESTION, question, sizeof question);
  load_res_string(info, IDS_UNINSTALL_CAPTION, caption, sizeof caption);
  format_with_name(text, sizeof text, question, info->product_name.c_str());
  int answer = g_message_box(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST);
  return answer == IDNO ? 1 : 0;
}

// The note of what stopped an install step.
#include "util/step_failure.h"

#include <cstring>

#include "util/action_log.h"

namespace {

StepFailure g_failure;
bool g_noted = false;

// A subject longer than the note holds is cut: the start of a path or key names it best.
void copy_cut(char *out, size_t size, const char *text) {
  size_t length = text ? strlen(text) : 0;
  if (length >= size) length = size - 1;
  if (length) memcpy(out, text, length);
  out[length] = 0;
}

}  // namespace

int note_step_failure(int message_id, const char *subject, DWORD error) {
  log_failure(error, "failure: %s (message %d)", subject ? subject : "", message_id);
  if (!g_noted) {
    g_failure.message_id = message_id;
    copy_cut(g_failure.subject, sizeof g_failure.subject, subject);
    g_failure.error = error;
    g_noted = true;
  }
  return -1;
}

int take_step_failure(StepFailure *out) {
  if (!g_noted || !out) return 0;
  *out = g_failure;
  g_noted = false;
  return 1;
}

void clear_step_failure() { g_noted = false; }

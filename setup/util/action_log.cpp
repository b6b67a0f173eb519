// The action log: every line goes to the file as it is made, before the step it describes goes on,
// so a run that is killed, crashes or hangs leaves its log up to its last step.
#include "util/action_log.h"

#include <cstdarg>

#include "scoped.h"
#include "text_format.h"
#include "util/messages.h"

namespace {

// A full log of a product of tens of thousands of files stays below the cap.
const DWORD kLogCap = 16u * 1024 * 1024;
const size_t kLineSize = 1024;

struct ActionLog {
  ScopedHandle file;
  DWORD written = 0;  // bytes this run has put into the log
  bool capped = false;
};

ActionLog g_log;

// The time stamp and the text, cut to one line; a line past the cap is dropped.
void write_line(const char *text, bool force) {
  if (!g_log.file.valid()) return;
  SYSTEMTIME now;
  GetLocalTime(&now);
  char line[kLineSize];
  int n = text_format(line, sizeof line - 2, "%04u-%02u-%02u %02u:%02u:%02u.%03u %s", now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, text);
  size_t length = n < 0 ? 0 : (static_cast<size_t>(n) < sizeof line - 2 ? static_cast<size_t>(n) : sizeof line - 3);
  for (size_t i = 0; i < length; ++i)
    if (line[i] == '\r' || line[i] == '\n') line[i] = ' ';
  line[length++] = '\r';
  line[length++] = '\n';
  if (!force && g_log.written + length > kLogCap) {
    g_log.capped = true;
    return;
  }
  DWORD done = 0;
  WriteFile(g_log.file.get(), line, static_cast<DWORD>(length), &done, nullptr);
  g_log.written += static_cast<DWORD>(length);
}

}  // namespace

int log_open(const char *path, bool append) {
  log_close();
  if (!path || !path[0]) return 0;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  if (append) SetFilePointer(file, 0, nullptr, FILE_END);
  g_log.file.reset(file);
  g_log.written = 0;
  g_log.capped = false;
  return 1;
}

bool log_active() { return g_log.file.valid(); }

namespace {

// The formatted text as one line; a failure line gains the system's text for error (none for 0).
void write_formatted(bool failure, DWORD error, const char *format, va_list args) {
  char text[kLineSize];
  text_vformat(text, sizeof text, format, args);
  char reason[MAX_PATH], line[kLineSize];
  if (failure && system_error_text(error, reason, sizeof reason)) {
    text_format(line, sizeof line, "%s: %s", text, reason);
    write_line(line, false);
  } else {
    write_line(text, false);
  }
}

}  // namespace

void log_line(const char *format, ...) {
  if (!log_active()) return;
  va_list args;
  va_start(args, format);
  write_formatted(false, 0, format, args);
  va_end(args);
}

void log_failure(DWORD error, const char *format, ...) {
  if (!log_active()) return;
  va_list args;
  va_start(args, format);
  write_formatted(true, error, format, args);
  va_end(args);
}

void log_close() {
  if (!log_active()) return;
  if (g_log.capped) write_line("log: the log reached its size limit; later lines were left out", true);
  g_log.file.reset();
}

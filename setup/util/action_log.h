// The action log: when the command line names a log file, every step, hook, change to the
// machine, removal and failure of the run is one line of plain text, each starting with the local
// time. The log stops growing at a cap and its last line says so.
#pragma once

#include <windows.h>

// Opens path for this run: emptied first, or appended to (the second uninstall stage goes on with
// the first stage's log). 1 when open; 0 leaves no log open.
int log_open(const char *path, bool append);
bool log_active();
// One line: "YYYY-MM-DD hh:mm:ss.mmm " then the formatted text. Nothing when no log is open.
void log_line(const char *format, ...) __attribute__((format(printf, 1, 2)));
// A failure line: the formatted text, then ": " and the system's text for error (none for 0).
void log_failure(DWORD error, const char *format, ...) __attribute__((format(printf, 2, 3)));
// The closing line (saying when the cap cut the log short) and the end of the log.
void log_close();

// setup's run: its switches and log, the choice of mode, the uninstall stages' argument checks, and
// the end after a crash.
#include "app/run_modes.h"

#include "app/command_line.h"
#include "res/resource.h"
#include "install/change_writer.h"
#include "script/globals.h"
#include "uninstall/uninstall_stages.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/messages.h"
#include "util/run_options.h"
#include "util/uninstall_signal.h"

namespace {

RunMode g_mode = MODE_INSTALL;

// A message of setup's own string table, its "%s" filled with subject (cut to 300 characters).
void show_own_message(int id, const char *subject) {
  char format[512] = "", text[1024] = "";
  LoadStringA(GetModuleHandleA(nullptr), static_cast<UINT>(id), format, sizeof format);
  char cut[301];
  lstrcpynA(cut, subject, sizeof cut);
  if (!format_text(text, sizeof text, format, cut)) copy_text(text, sizeof text, format);
  show_fatal_message(text);
}

void report_incomplete_command_line() { show_own_message(IDS_INCOMPLETE_COMMAND, ""); }

int run_first_stage(const CommandWords &args) {
  FirstStageArgs stage;
  if (!take_first_stage_args(args, &stage)) {
    report_incomplete_command_line();
    return EXIT_FAILED;
  }
  return exit_status(uninstall_first_stage(&g_setup_info, stage));
}

int run_second_stage(HINSTANCE instance, const CommandWords &args) {
  SecondStageArgs stage;
  if (!take_second_stage_args(args, &stage)) {
    report_incomplete_command_line();
    return EXIT_FAILED;
  }
  return exit_status(uninstall_second_stage(&g_setup_info, instance, stage));
}

// A switch setup does not know is never passed over: a silent run says so in its log only.
int refuse_switch(const String &word) {
  show_own_message(IDS_UNKNOWN_SWITCH, word.c_str());
  return EXIT_FAILED;
}

// A crash, in the product's hook library or in setup, must neither leave half an installation
// behind nor end with a status that reads as success: what the run changed is undone without a
// window, the log says what happened, and setup ends with status 2.
LONG WINAPI end_after_crash(EXCEPTION_POINTERS *pointers) {
  DWORD code = pointers && pointers->ExceptionRecord ? pointers->ExceptionRecord->ExceptionCode : 0;
  log_failure(0, "setup: stopped by exception %08lX", static_cast<unsigned long>(code));
  RollbackJournal *journal = running_journal();
  if (journal && journal->active()) {
    UndoReport report;
    journal->undo(&report);
  }
  // An installer that replaces the product waits for its uninstall to say that it is over.
  if (g_mode != MODE_INSTALL) signal_uninstall_finished(g_setup_info.product_name.c_str());
  log_line("setup: end: exit status %d", EXIT_FAILED);
  log_close();
  ExitProcess(EXIT_FAILED);
  return EXCEPTION_EXECUTE_HANDLER;
}

// The log's full path: the second uninstall stage runs in another directory.
void make_log_path_full(String *path) {
  char full[MAX_PATH];
  char *name = nullptr;
  DWORD n = GetFullPathNameA(path->c_str(), sizeof full, full, &name);
  if (n > 0 && n < sizeof full) *path = full;
}

// A run asked to keep a log does not go on without one.
int refuse_log(const String &path) {
  show_own_message(IDS_LOG_NOT_WRITTEN, path.c_str());
  return EXIT_FAILED;
}

int run_mode(HINSTANCE instance, RunMode mode, const CommandWords &args) {
  switch (mode) {
    case MODE_INSTALL:
      return run_install_mode(instance);
    case MODE_UNINSTALL_SECOND:
      return run_second_stage(instance, args);
    case MODE_UNINSTALL_FIRST:
    default:
      return run_first_stage(args);
  }
}

}  // namespace

int exit_status(int result) {
  if (result == RESULT_GO_ON) return EXIT_DONE;
  return result == RESULT_CANCELLED ? EXIT_STOPPED : EXIT_FAILED;
}

int run_setup(HINSTANCE instance, const char *command_line) {
  SetUnhandledExceptionFilter(end_after_crash);
  CommandWords args(command_line);
  RunMode mode = choose_mode(args);
  g_mode = mode;
  String unknown;
  RunOptions options;
  bool known = take_run_options(args, first_switch_argument(mode), &options, &unknown) != 0;
  if (options.silent) g_message_box = answer_message_box_silently;
  if (options.log_path.length()) make_log_path_full(&options.log_path);
  set_run_options(options);
  // The second uninstall stage goes on with the log its first stage began, the run a single-file
  // installer starts with the log of that installer.
  bool goes_on = mode == MODE_UNINSTALL_SECOND || options.bundle_path.length() > 0;
  if (options.log_path.length() && !log_open(options.log_path.c_str(), goes_on)) return refuse_log(options.log_path);
  log_line("setup: start: %s", command_line ? command_line : "");
  int status = known ? run_mode(instance, mode, args) : refuse_switch(unknown);
  log_line("setup: end: exit status %d", status);
  log_close();
  return status;
}

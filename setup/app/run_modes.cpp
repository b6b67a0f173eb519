// Mode choice and the uninstall stages' argument checks.
#include "app/run_modes.h"

#include "app/command_line.h"
#include "script/globals.h"
#include "uninstall/uninstall_stages.h"
#include "util/messages.h"

namespace {

void report_incomplete_command_line() {
  show_fatal_message(
      "Setup was started with an incomplete uninstall command line. Nothing has been removed.\n"
      "Please start the uninstall again from Add/Remove Programs.");
}

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

}  // namespace

int exit_status(int result) {
  if (result == RESULT_GO_ON) return EXIT_DONE;
  return result == RESULT_CANCELLED ? EXIT_STOPPED : EXIT_FAILED;
}

int run_setup(HINSTANCE instance, const char *command_line) {
  CommandWords args(command_line);
  switch (choose_mode(args)) {
    case MODE_INSTALL:
      return run_install_mode(instance);
    case MODE_UNINSTALL_SECOND:
      return run_second_stage(instance, args);
    case MODE_UNINSTALL_FIRST:
    default:
      return run_first_stage(args);
  }
}

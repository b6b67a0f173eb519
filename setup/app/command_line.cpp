// setup's run mode, chosen from its command line.
#include "app/command_line.h"

#include "util/bounded_text.h"

RunMode choose_mode(const CommandWords &args) {
  if (args.count() <= 1 || is_switch_word(args[1])) return MODE_INSTALL;
  if (ascii_compare_nocase(args[1], "-u2") == 0) return MODE_UNINSTALL_SECOND;
  return MODE_UNINSTALL_FIRST;
}

// -u1 PRODUCT N [LIBRARY] and -u2 PROCESS DIRECTORY N PRODUCT [LIBRARY]: the optional library
// is told from a switch by its first character.
uint32_t first_switch_argument(RunMode mode) {
  switch (mode) {
    case MODE_UNINSTALL_FIRST:
      return 4;
    case MODE_UNINSTALL_SECOND:
      return 6;
    case MODE_INSTALL:
    default:
      return 1;
  }
}

// setup's run mode, chosen from its command line.
#include "app/command_line.h"

#include "util/bounded_text.h"

RunMode choose_mode(const CommandWords &args) {
  if (args.count() <= 1) return MODE_INSTALL;
  if (ascii_compare_nocase(args[1], "-u2") == 0) return MODE_UNINSTALL_SECOND;
  return MODE_UNINSTALL_FIRST;
}

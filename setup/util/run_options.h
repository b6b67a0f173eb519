// The switches of setup's command line beyond its positional forms: a silent run, the install
// folder, the Start-menu folder and the log file.
#pragma once

#include <cstddef>

#include "sdk/setup_string.h"
#include "util/command_words.h"

struct RunOptions {
  bool silent = false;            // no pages, no windows, no message boxes
  String install_dir;             // /dir=PATH: the Directory page's answer ("" when not given)
  String start_menu_folder;       // /group=NAME: the Start-menu page's answer ("" when not given)
  String log_path;                // /log=PATH ("" when not given)
  String bundle_path;             // /bundle=PATH: the single-file installer whose product this run installs
};

// This run's switches: taken once at start-up, then only read.
const RunOptions &run_options();
void set_run_options(const RunOptions &options);

// Takes every switch from argument `first` on into *out. Words that are no switch are left for
// the positional forms. 0 when a switch is not known (or lacks its value): the first such word is
// in *unknown, and the known ones are taken all the same.
int take_run_options(const CommandWords &args, uint32_t first, RunOptions *out, String *unknown);

// The switches a run hands on to the uninstaller's second stage (" /silent" and a quoted
// " \"/log=PATH\""), "" when none. 0 when they do not fit size bytes.
int format_passed_switches(const RunOptions &options, char *out, size_t size);

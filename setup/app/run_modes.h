// setup's entry logic: the command line chooses install mode or one of the uninstall stages.
#pragma once

#include <windows.h>

#include "sdk/setup_results.h"

// The exit status for the result of a run (RESULT_GO_ON, RESULT_CANCELLED or a failure).
int exit_status(int result);

// Runs setup for command_line (argument 0 is the program path) and returns the exit status.
int run_setup(HINSTANCE instance, const char *command_line);

// Install mode: single-instance guard, script, then the wizard. Exit status.
int run_install_mode(HINSTANCE instance);

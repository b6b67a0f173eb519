// setup's entry logic: the command line chooses install mode or one of the uninstall stages.
#pragma once

#include <windows.h>

// Exit statuses of setup.
enum {
  EXIT_DONE = 0,       // the run did what it was asked
  EXIT_STOPPED = 1,    // cancelled, declined, or another setup is running
  EXIT_FAILED = 2,     // a start-up step or the installation failed
};

// Runs setup for command_line (argument 0 is the program path) and returns the exit status.
int run_setup(HINSTANCE instance, const char *command_line);

// Install mode: single-instance guard, script, then the wizard. Exit status.
int run_install_mode(HINSTANCE instance);

// Start-up of the tuner: the "-uninstall" restore, the platform and single-instance checks, the dialog.
#pragma once

#include <windows.h>

class TunerSettings;

// The whole run of the program: loads its strings, creates the record and continues with
// run_tuner_with. Returns the exit code, which is always 1.
int run_tuner(HINSTANCE instance, const char *command_line);

// The run after the record was created; takes ownership of settings, which is null when it could
// not be allocated (then nothing is read or written and, unless restoring, a message says so).
// The program's strings must have been loaded. Returns the exit code, always 1.
int run_tuner_with(const char *command_line, TunerSettings *settings);

// Starting a program setup has just copied (the uninstall's second stage, the run a single-file
// installer unpacked).
#pragma once

#include <windows.h>

// CreateProcessA for command (written into, as CreateProcessA may), with inherit and folder as
// its current directory. A copy that was only just written may still be held for a moment (a
// virus scanner reading it, the system mapping it): a start that fails other than for a missing
// file is tried twice more, 200 ms apart. 0 and *process filled, or the system's error code.
DWORD start_copied_program(char *command, BOOL inherit, const char *folder, PROCESS_INFORMATION *process);

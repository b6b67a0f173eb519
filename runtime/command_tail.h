// The part of a process command line that a program's WinMain receives.
#pragma once

// What follows the program name and the blanks after it; "" for a null line. The program name
// runs to the first blank (any character up to ' ') outside double quotes, as the toolchain's
// own start-up code reads it.
const char *command_tail(const char *command_line);

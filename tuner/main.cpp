// Entry point of the tuner.
#include <windows.h>

#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) { return run_tuner(instance, command_line); }

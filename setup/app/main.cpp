// setup's entry point.
#include <windows.h>

#include "app/run_modes.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return run_setup(instance, GetCommandLineA()); }

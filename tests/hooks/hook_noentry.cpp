// A library without SetupDllEntryPoint: setup must refuse it.
#include <windows.h>

extern "C" __declspec(dllexport) int NotTheEntryPoint() { return 0; }

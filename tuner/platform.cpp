// Which Windows family the tuner runs on.
#include "platform.h"

#include <windows.h>

bool IsWindows95Family() { return (GetVersion() & 0x80000000u) != 0; }

// Keeping a thread's windows painted while a long step runs on it.
#pragma once

#include <windows.h>

// Lets the thread's windows repaint while a long step runs: dispatches pending messages except
// keyboard and mouse input (dropped, so nothing can be started or closed mid-step) and timers
// (left for the message loop that owns them). A quit request is posted again for that loop.
void pump_pending_messages();

// Waits milliseconds, pumping as above all the while.
void pause_pumping(DWORD milliseconds);

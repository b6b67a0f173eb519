// The named event by which an uninstall tells an installer that replaces the product that the
// removal is over. The installer creates it before it starts the old uninstaller and waits on
// it; the first stage sets it when it ends without starting the second, the second stage when
// it has finished. Nobody waiting means nobody created it, and setting it does nothing.
#pragma once

#include <windows.h>

// A manual-reset, unsignalled event for product_name; null when the name cannot form one.
HANDLE create_uninstall_finished_event(const char *product_name);
void signal_uninstall_finished(const char *product_name);

// An interrupted product run leaves nothing behind: SIGINT, SIGTERM and SIGHUP (on Windows Ctrl+C,
// Ctrl+Break and the console closing) abandon the run's work folder before the process ends.
#pragma once

#include <string>

// Call before work is made. From now until end_interrupt_cleanup, an interrupt abandons work (work_folder.h: what stood at
// output goes back, the work folder is removed) and then ends the process as the signal would.
// The cleanup runs on a thread of its own, so it does not depend on what the run was doing.
// False (reported) when the signals cannot be watched.
bool clean_up_on_interrupt(const std::string &work, const std::string &output);
// Ends the watch once the run has put its product in place or removed its work folder; when an
// interrupt's cleanup has begun, waits for it, and so for the end of the process.
void end_interrupt_cleanup();

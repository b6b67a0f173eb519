// The failure that stopped an install step: noted by the step where it failed, shown once by the
// install sequence. A step stopped by a hook notes nothing, since the hook has spoken for itself.
#pragma once

#include <windows.h>

#include <cstddef>

struct StepFailure {
  int message_id;              // the string that says what failed (its "%s" takes the subject)
  char subject[2 * MAX_PATH];  // the path or registry key, cut short when longer
  DWORD error;                 // the system's error code; 0 when none is known
};

// Notes a failure unless one is noted already: the first failure is the one that stopped the
// run. Returns -1, the stop value of a failed step, so that a step can return it directly.
int note_step_failure(int message_id, const char *subject, DWORD error);

// Copies the noted failure into *out and forgets it: 1. Nothing noted: 0 and *out untouched.
int take_step_failure(StepFailure *out);

// Forgets a noted failure (the install sequence starts with none).
void clear_step_failure();

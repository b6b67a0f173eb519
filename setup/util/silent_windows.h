// Windows that nobody would answer: while a silent run calls into the product's hook library, a
// dialog or message box the library opens on setup's thread is written to the log and answered
// with its default button, so that the run goes on instead of waiting for a person.
#pragma once

#include <windows.h>

// Watches this thread's windows from construction to destruction when the run is silent (and
// does nothing otherwise). Scopes may nest; the outermost one watches.
class SilentWindowScope {
 public:
  explicit SilentWindowScope(const char *caller);
  ~SilentWindowScope();
  SilentWindowScope(const SilentWindowScope &) = delete;
  SilentWindowScope &operator=(const SilentWindowScope &) = delete;

 private:
  HHOOK hook_;
  const char *previous_caller_;
};

// The button a silent run presses on dialog: its default push button, else OK where it has one,
// else Cancel. A Retry is never pressed (nothing could change in between): Cancel, or Abort, stands
// in for it. Exposed for the tests.
int silent_answer_for(HWND dialog);

// How many windows one call may open before the run stops waiting for it to give up: a hook that
// asks again and again whatever it is answered would otherwise keep a silent run forever.
const int kMaxSilentWindows = 20;

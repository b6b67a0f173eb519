// One run of the tuner's start-up on a thread of its own, so the test thread can drive its windows.
#pragma once

#include <windows.h>

#include <string>

#include "dialog_driver.h"
#include "startup.h"

namespace driver {

class TunerThread {
 public:
  // allocate=false runs start-up as if the record could not be allocated.
  explicit TunerThread(const char *command_line, bool allocate = true)
      : command_line_(command_line), allocate_(allocate) {
    thread_ = CreateThread(nullptr, 0, body, this, 0, nullptr);
  }
  ~TunerThread() { finish(); }
  TunerThread(const TunerThread &) = delete;
  TunerThread &operator=(const TunerThread &) = delete;

  bool done(DWORD milliseconds = 0) const { return WaitForSingleObject(thread_, milliseconds) == WAIT_OBJECT_0; }

  // The exit code of start-up; whatever is still shown after the wait is closed first (then -1).
  int finish(DWORD milliseconds = 10000) {
    if (!thread_) return exit_code_;
    if (!done(milliseconds)) {
      close_all();
      if (!done(10000)) return -1;
      exit_code_ = -1;
    } else {
      exit_code_ = result_;
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    return exit_code_;
  }

 private:
  static DWORD WINAPI body(void *param) {
    TunerThread *self = static_cast<TunerThread *>(param);
    self->result_ = self->allocate_ ? run_tuner(GetModuleHandleA(nullptr), self->command_line_.c_str())
                                    : run_tuner_with(self->command_line_.c_str(), nullptr);
    return 0;
  }

  std::string command_line_;
  bool allocate_;
  HANDLE thread_ = nullptr;
  int result_ = -1;
  int exit_code_ = -1;
};

}  // namespace driver

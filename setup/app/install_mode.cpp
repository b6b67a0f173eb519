// Install mode: the single-instance guard, the hook library and script, then the wizard.
#include "app/run_modes.h"

#include "script/ini_file.h"
#include "script/script_reader.h"
#include "util/messages.h"

namespace {

const char kMutexName[] = "Quorvane\\app\\mutex\\Zindle Setup";
// The NT family reads backslashes in object names as namespace paths and refuses the name
// above; there the guard uses the same name with slashes.
const char kMutexNameNt[] = "Quorvane/app/mutex/Zindle Setup";

// Owner of the single-instance mutex for the length of the run.
class InstanceGuard {
 public:
  InstanceGuard() {
    mutex_ = CreateMutexA(nullptr, TRUE, kMutexName);
    DWORD error = GetLastError();
    if (!mutex_ && error != ERROR_ALREADY_EXISTS) {
      mutex_ = CreateMutexA(nullptr, TRUE, kMutexNameNt);
      error = GetLastError();
    }
    other_running_ = error == ERROR_ALREADY_EXISTS;
  }
  ~InstanceGuard() {
    if (mutex_) {
      ReleaseMutex(mutex_);
      CloseHandle(mutex_);
    }
  }
  bool other_running() const { return other_running_; }

 private:
  HANDLE mutex_;
  bool other_running_;
};

}  // namespace

int run_install_mode(HINSTANCE instance) {
  InstanceGuard guard;
  if (guard.other_running()) return EXIT_STOPPED;
  if (init_script(&g_setup_info, &g_script_file, instance) != 0) {
    show_fatal_message("Failed to Initialize Script");
    return EXIT_FAILED;
  }
  show_fatal_message("This version of Setup cannot show the installation wizard. Nothing has been installed.");
  return EXIT_FAILED;
}

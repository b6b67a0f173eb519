// Install mode: the single-instance guard, the hook library and script, the previous-version
// check, then the main window whose timer runs the wizard.
#include "app/bundled_product.h"
#include "app/main_window.h"
#include "app/run_modes.h"
#include "script/globals.h"
#include "script/ini_file.h"
#include "script/logged_hooks.h"
#include "script/script_reader.h"
#include "install/install_sequence.h"
#include "util/action_log.h"
#include "util/messages.h"
#include "util/run_options.h"
#include "wizard/wizard.h"
#include "scoped.h"

namespace {

const char kMutexName[] = "Quorvane\\app\\mutex\\Zindle Setup";
// The NT family reads backslashes in object names as namespace paths and refuses the name
// above; there the guard uses the same name with slashes.
const char kMutexNameNt[] = "Quorvane/app/mutex/Zindle Setup";

// Owner of the single-instance mutex for the length of the run.
class InstanceGuard {
 public:
  InstanceGuard() {
    mutex_.reset(CreateMutexA(nullptr, TRUE, kMutexName));
    DWORD error = GetLastError();
    if (!mutex_.valid() && error != ERROR_ALREADY_EXISTS) {
      mutex_.reset(CreateMutexA(nullptr, TRUE, kMutexNameNt));
      error = GetLastError();
    }
    other_running_ = error == ERROR_ALREADY_EXISTS;
  }
  ~InstanceGuard() {
    if (mutex_.valid()) ReleaseMutex(mutex_.get());
  }
  bool other_running() const { return other_running_; }

 private:
  ScopedHandle mutex_;
  bool other_running_;
};

void run_message_loop() {
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

int run_install_mode(HINSTANCE instance) {
  // A single-file installer runs its unpacked setup.exe, which takes the guard itself.
  int bundled_status = 0;
  if (!run_options().bundle_path.length() && run_bundled_product(&g_setup_info, &bundled_status))
    return bundled_status;
  InstanceGuard guard;
  if (guard.other_running()) return EXIT_STOPPED;
  if (run_options().bundle_path.length() && !use_bundle_archive(&g_setup_info, run_options().bundle_path.c_str()))
    return EXIT_FAILED;
  register_main_window_class(instance);
  if (init_script(&g_setup_info, &g_script_file, instance) != 0) {
    show_fatal_message("Failed to Initialize Script");
    return EXIT_FAILED;
  }
  if (log_active() || run_options().silent) g_dispatch = logged_hooks(g_dispatch);
  int previous = check_previous_version(&g_setup_info, g_dispatch);
  if (previous != RESULT_GO_ON) return exit_status(previous);
  // A silent run has no window: the wizard runs at once, answering its pages itself.
  if (run_options().silent) return exit_status(run_wizard(&g_setup_info, g_dispatch, run_install_steps));
  if (!create_main_window(instance, &g_setup_info, g_dispatch)) {
    show_fatal_message("Failed to Create Main Window");
    return EXIT_FAILED;
  }
  ShowWindow(g_setup_info.main_window, SW_SHOWNORMAL);
  UpdateWindow(g_setup_info.main_window);
  SetFocus(g_setup_info.main_window);
  run_message_loop();
  return exit_status(main_window_wizard_result());
}

// Start-up of the tuner: the "-uninstall" restore, the platform and single-instance checks, the dialog.
#include "startup.h"

#include <cstring>

#include "originals.h"
#include "platform.h"
#include "resource.h"
#include "tuner_dialog.h"
#include "tuner_settings.h"
#include "tuner_state.h"

namespace {

const int kExitCode = 1;

void show_stop_message(unsigned id) {
  char text[512];
  load_tuner_string(id, text, sizeof text);
  MessageBoxA(nullptr, text, g_title, MB_OK | MB_ICONERROR);
}

// Puts the values saved on the first start back into the stack, without any window.
int restore_originals() {
  TunerSettings *settings = current_settings();
  settings->LoadOriginals();
  settings->StoreToStack();
  release_settings();
  return kExitCode;
}

}  // namespace

int run_tuner(HINSTANCE instance, const char *command_line) {
  load_program_strings(instance);
  return run_tuner_with(command_line, new TunerSettings);
}

int run_tuner_with(const char *command_line, TunerSettings *settings) {
  adopt_settings(settings);
  bool uninstall = command_line && std::strstr(command_line, "-uninstall") != nullptr;
  if (!settings) {
    if (!uninstall) show_stop_message(IDS_NO_MEMORY);
    return kExitCode;
  }
  if (uninstall) return restore_originals();

  // The platform comes first: off the Windows 95 family nothing was read, so nothing is saved.
  if (!IsWindows95Family()) {
    release_settings();
    show_stop_message(IDS_PLATFORM);
    return kExitCode;
  }
  SaveOriginals(*settings);

  HWND running = FindWindowA(nullptr, g_title);
  if (running) {
    release_settings();
    SetForegroundWindow(running);
    return kExitCode;
  }
  run_tuner_dialog(g_instance);
  release_settings();  // the dialog frees the record itself unless it could not be shown
  return kExitCode;
}

// LoggedHooks: forwards each hook to the product's table and writes one log line per call; in a
// silent run it also answers the windows the hook opens.
#include "script/logged_hooks.h"

#include "util/action_log.h"
#include "util/silent_windows.h"

namespace {

int logged(const char *hook, int result) {
  log_line("hook %s: result %d", hook, result);
  return result;
}

int logged_file(const char *hook, const String &source, const String &destination, int result) {
  log_line("hook %s: %s -> %s: result %d", hook, source.c_str(), destination.c_str(), result);
  return result;
}

#define LOGGED_HOOK(name)                                  \
  int name(SetupInfo *info, void *reserved) override {     \
    SilentWindowScope watch(#name);                        \
    return logged(#name, hooks_->name(info, reserved));    \
  }
#define LOGGED_FILE_HOOK(name)                                                                 \
  int name(SetupInfo *info, String source, String destination, void *reserved) override {     \
    SilentWindowScope watch(#name);                                                            \
    return logged_file(#name, source, destination, hooks_->name(info, source, destination, reserved)); \
  }

class LoggedHooks : public SetupDispatchTable {
 public:
  void forward_to(SetupDispatchTable *hooks) { hooks_ = hooks; }
  LOGGED_HOOK(SetupCreate)
  LOGGED_HOOK(SetupDestroy)
  LOGGED_HOOK(BeforeIntroDialog)
  LOGGED_HOOK(AfterIntroDialog)
  LOGGED_HOOK(BeforeEulaDialog)
  LOGGED_HOOK(AfterEulaDialog)
  LOGGED_HOOK(BeforePathDialog)
  LOGGED_HOOK(AfterPathDialog)
  LOGGED_HOOK(BeforeStartDialog)
  LOGGED_HOOK(AfterStartDialog)
  LOGGED_HOOK(CopyBefore)
  LOGGED_HOOK(CopyAfter)
  LOGGED_FILE_HOOK(CopyFileBefore)
  LOGGED_FILE_HOOK(CopyFileFailed)
  LOGGED_FILE_HOOK(CopyFileAfter)
  LOGGED_HOOK(BeforeReadyDialog)
  LOGGED_HOOK(AfterReadyDialog)
  LOGGED_HOOK(BeforeCompleteDialog)
  LOGGED_HOOK(AfterCompleteDialog)
  LOGGED_HOOK(UninstallCreate)
  LOGGED_HOOK(UninstallDestroy)
  LOGGED_HOOK(BeforePreviousDialog)
  LOGGED_HOOK(AfterPreviousDialog)
  LOGGED_HOOK(BeforeVerifyUninstallDialog)
  LOGGED_HOOK(AfterVerifyUninstallDialog)
  LOGGED_HOOK(BeforeUninstallDialog)
  LOGGED_HOOK(AfterUninstallDialog)

 private:
  SetupDispatchTable *hooks_ = nullptr;
};

#undef LOGGED_HOOK
#undef LOGGED_FILE_HOOK

LoggedHooks g_logged_hooks;

}  // namespace

SetupDispatchTable *logged_hooks(SetupDispatchTable *hooks) {
  if (!hooks || hooks == &g_logged_hooks) return hooks;
  g_logged_hooks.forward_to(hooks);
  return &g_logged_hooks;
}

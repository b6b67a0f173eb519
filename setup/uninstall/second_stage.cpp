// Second uninstall stage: runs from its private folder in the temporary directory, waits for the
// first stage to end, loads the copied hook library from that folder and runs the uninstall.
#include "scoped.h"
#include "script/logged_hooks.h"
#include "script/script_reader.h"
#include "uninstall/uninstall_stages.h"
#include "util/bounded_text.h"
#include "util/file_kinds.h"
#include "util/messages.h"
#include "util/action_log.h"
#include "util/run_options.h"
#include "util/uninstall_signal.h"

namespace {

// Loads the resource library named on the command line from the own directory. A library that
// is not there is ignored; one that is there but does not load ends the stage (-1).
int load_resource_library(SetupInfo *info, const char *own_dir, const String &name) {
  // Only a library in this folder: a name with a path in it would reach outside.
  if (!is_plain_file_name(name.c_str())) return 0;
  DWORD error = 0;
  if (load_resource_dll(info, own_dir, name.c_str(), &error) != RESOURCE_DLL_UNLOADABLE) return 0;
  show_file_error(error, name.c_str(), "Failed to load Resource .dll");
  return -1;
}

void wait_for_first_stage(unsigned long process) {
  ScopedHandle handle(reinterpret_cast<HANDLE>(static_cast<uintptr_t>(process)));
  if (handle.valid()) WaitForSingleObject(handle.get(), INFINITE);
}

// The stage itself; whatever it returns, the caller then releases a waiting installer.
int run_second_stage(SetupInfo *info, HINSTANCE instance, const SecondStageArgs &args) {
  info->setup_instance = instance;
  info->resource_instance = instance;
  info->install_dir = args.directory.c_str();
  info->replacing_previous = static_cast<int32_t>(args.n);
  info->product_name = args.product_name.c_str();
  char own_dir[260];
  if (!own_directory(own_dir, sizeof own_dir)) return -1;
  if (load_resource_library(info, own_dir, args.resource_library) != 0) return -1;
  wait_for_first_stage(args.process);
  info->source_dir = own_dir;
  if (load_setup_dll(info, own_dir) != 0) {
    show_fatal_message("Failed to get dispatch table");
    return -1;
  }
  if (log_active() || run_options().silent) g_dispatch = logged_hooks(g_dispatch);
  return run_uninstall(info, g_dispatch);
}

}  // namespace

int uninstall_second_stage(SetupInfo *info, HINSTANCE instance, const SecondStageArgs &args) {
  int r = run_second_stage(info, instance, args);
  signal_uninstall_finished(args.product_name.c_str());
  return r;
}

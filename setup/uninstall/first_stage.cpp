// First uninstall stage: runs from the install directory, copies setup and the hook library to
// the temporary directory, unpacks package.dat there, starts the second stage and ends.
#include <cstdint>
#include <cstring>

#include "install/package.h"
#include "sdk/reg_key.h"
#include "uninstall/uninstall_stages.h"
#include "res/resource.h"
#include "util/bounded_text.h"
#include "util/action_log.h"
#include "util/failure_message.h"
#include "util/run_options.h"
#include "util/uninstall_signal.h"
#include "wizard/wizard.h"

namespace {

// Copies own_dir\name into temp_dir. 0, or the system's error code.
DWORD copy_to_temp(const char *own_dir, const char *temp_dir, const char *name, bool delete_first) {
  char source[260], target[260];
  if (!format_text(source, sizeof source, "%s\\%s", own_dir, name)) return ERROR_FILENAME_EXCED_RANGE;
  if (!format_text(target, sizeof target, "%s\\%s", temp_dir, name)) return ERROR_FILENAME_EXCED_RANGE;
  if (delete_first) DeleteFileA(target);
  return CopyFileA(source, target, FALSE) ? 0 : GetLastError();
}

// Starts temp_dir\setup.exe -u2 with an inheritable handle to this process. 0, or the system's
// error code.
DWORD start_second_stage(const char *own_dir, const char *temp_dir, const FirstStageArgs &args) {
  HANDLE self = OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId());
  char command[1024], library[MAX_PATH + 4] = "", switches[MAX_PATH + 32];
  unsigned long handle = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(self));
  int formed = (args.resource_library.length() == 0 ||
                format_text(library, sizeof library, " \"%s\"", args.resource_library.c_str())) &&
               format_passed_switches(g_run_options, switches, sizeof switches) &&
               format_text(command, sizeof command, "%s\\setup.exe -u2 %lu \"%s\" %ld \"%s\"%s%s", temp_dir, handle,
                           own_dir, args.n, args.product_name.c_str(), library, switches);
  DWORD error = formed ? 0 : ERROR_FILENAME_EXCED_RANGE;
  if (formed) {
    // The second stage goes on with the log, so this stage lets go of it first.
    log_line("uninstall: the second stage goes on: %s", command);
    log_close();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, temp_dir, &startup, &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    } else {
      error = GetLastError();
      log_open(g_run_options.log_path.c_str(), true);
    }
  }
  if (self) CloseHandle(self);
  return error;
}

// The stage cannot hand over to the second: says why, and releases an installer waiting for the end.
int stop_first_stage(SetupInfo *info, int message, const char *temp_dir, DWORD error) {
  show_failure(info, nullptr, message, temp_dir, error);
  signal_uninstall_finished(info->product_name.c_str());
  return RESULT_FAILED;
}

// Deletes the product's Add/Remove Programs entry. A name that is empty or holds a backslash
// would address another key, so nothing is deleted for it.
void remove_uninstall_entry(const char *product_name) {
  if (!product_name[0] || strchr(product_name, '\\')) return;
  kRegKey entries;
  if (entries.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"))
    RegDeleteKeyA(entries, product_name);
}

}  // namespace

int own_directory(char *out, unsigned long size) {
  char path[260];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return 0;
  char *last = strrchr(path, '\\');
  if (!last) return 0;
  *last = 0;
  return copy_text(out, size, path);
}

int uninstall_first_stage(SetupInfo *info, const FirstStageArgs &args) {
  info->product_name = args.product_name.c_str();
  if (args.n == 0 && confirm_uninstall(info)) {
    signal_uninstall_finished(info->product_name.c_str());
    return RESULT_CANCELLED;
  }
  char temp[260] = {0}, own_dir[260];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) return stop_first_stage(info, IDS_UNINSTALL_COPY_FAILED, "", GetLastError());
  if (!own_directory(own_dir, sizeof own_dir))
    return stop_first_stage(info, IDS_UNINSTALL_COPY_FAILED, temp, ERROR_FILENAME_EXCED_RANGE);
  // The temporary directory ends with a backslash; the copies' paths then hold a doubled one,
  // which the file system accepts.
  DWORD error = copy_to_temp(own_dir, temp, "setup.exe", true);
  if (error) return stop_first_stage(info, IDS_UNINSTALL_COPY_FAILED, temp, error);
  copy_to_temp(own_dir, temp, "dsetup.dll", false);
  extract_package(own_dir, temp);
  error = start_second_stage(own_dir, temp, args);
  if (error) return stop_first_stage(info, IDS_UNINSTALL_START_FAILED, temp, error);
  remove_uninstall_entry(args.product_name.c_str());
  return RESULT_GO_ON;
}

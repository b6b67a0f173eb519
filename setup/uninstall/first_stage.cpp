// First uninstall stage: runs from the install directory, copies setup, the hook library and the
// resource library into a private folder made for this uninstall inside the temporary directory,
// unpacks package.dat there, starts the second stage from it and ends.
#include <cstdint>

#include "install/package.h"
#include "sdk/reg_key.h"
#include "uninstall/private_folder.h"
#include "uninstall/uninstall_stages.h"
#include "res/resource.h"
#include "util/product_keys.h"
#include "util/bounded_text.h"
#include "util/action_log.h"
#include "util/failure_message.h"
#include "util/file_kinds.h"
#include "util/path_parts.h"
#include "util/run_options.h"
#include "util/start_copy.h"
#include "util/uninstall_signal.h"
#include "wizard/wizard.h"
#include "scoped.h"

namespace {

// Copies own_dir\name into the private folder. 0, or the system's error code.
DWORD copy_to_folder(const char *own_dir, const char *folder, const char *name) {
  char source[260];
  if (!format_text(source, sizeof source, "%s\\%s", own_dir, name)) return ERROR_FILENAME_EXCED_RANGE;
  return copy_into_folder(source, folder, name);
}

// The resource library the second stage will load: a plain file name beside setup, copied when it
// is there (a library that is not there is not loaded either). 0, or the system's error code.
DWORD copy_resource_library(const char *own_dir, const char *folder, const String &name) {
  if (name.length() == 0) return 0;
  if (!is_plain_file_name(name.c_str())) return ERROR_INVALID_NAME;
  char source[260];
  if (!format_text(source, sizeof source, "%s\\%s", own_dir, name.c_str())) return ERROR_FILENAME_EXCED_RANGE;
  if (GetFileAttributesA(source) == INVALID_FILE_ATTRIBUTES) return 0;
  return copy_into_folder(source, folder, name.c_str());
}

// Everything the second stage runs or loads, into its folder; the first copy that fails ends it.
DWORD fill_private_folder(const char *own_dir, const char *folder, const FirstStageArgs &args) {
  DWORD error = copy_to_folder(own_dir, folder, "setup.exe");
  if (!error) error = copy_to_folder(own_dir, folder, "dsetup.dll");
  if (!error) error = copy_resource_library(own_dir, folder, args.resource_library);
  if (error) return error;
  SetLastError(0);
  if (extract_package(own_dir, folder) >= 0) return 0;
  error = GetLastError();
  return error ? error : ERROR_WRITE_FAULT;
}

// Starts folder\setup.exe -u2 with an inheritable handle to this process. 0, or the system's
// error code.
DWORD start_second_stage(const char *own_dir, const char *folder, const FirstStageArgs &args) {
  ScopedHandle self(OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId()));
  char command[1024], library[MAX_PATH + 4] = "", switches[MAX_PATH + 32];
  unsigned long handle = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(self.get()));
  int formed = (args.resource_library.length() == 0 ||
                format_text(library, sizeof library, " \"%s\"", args.resource_library.c_str())) &&
               format_passed_switches(run_options(), switches, sizeof switches) &&
               format_text(command, sizeof command, "\"%s\\setup.exe\" -u2 %lu \"%s\" %ld \"%s\"%s%s", folder, handle,
                           own_dir, args.n, args.product_name.c_str(), library, switches);
  DWORD error = formed ? 0 : ERROR_FILENAME_EXCED_RANGE;
  if (formed) {
    // The second stage goes on with the log, so this stage lets go of it first.
    log_line("uninstall: the second stage goes on: %s", command);
    log_close();
    PROCESS_INFORMATION process = {};
    // The program's path is quoted: unquoted, a path with blanks would let Windows try its
    // shorter beginnings as programs first.
    error = start_copied_program(command, TRUE, folder, &process);
    ScopedHandle thread(process.hThread), child(process.hProcess);  // the second stage goes on alone
    if (error) log_open(run_options().log_path.c_str(), true);
  }
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
  if (!names_one_key(product_name)) return;
  kRegKey entries;
  if (entries.Open(HKEY_LOCAL_MACHINE, kAddRemoveParent))
    RegDeleteKeyA(entries, product_name);
}

}  // namespace

int own_directory(char *out, unsigned long size) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return n > 0 && n < sizeof path && parent_dir(path, out, size);
}

int uninstall_first_stage(SetupInfo *info, const FirstStageArgs &args) {
  info->product_name = args.product_name.c_str();
  if (args.n == 0 && confirm_uninstall(info)) {
    signal_uninstall_finished(info->product_name.c_str());
    return RESULT_CANCELLED;
  }
  char folder[260] = {0}, own_dir[260];
  if (!create_private_folder(folder, sizeof folder)) {
    DWORD error = GetLastError();
    char temp[260] = {0};
    GetTempPathA(sizeof temp, temp);
    return stop_first_stage(info, IDS_UNINSTALL_COPY_FAILED, temp, error);
  }
  DWORD error = own_directory(own_dir, sizeof own_dir) ? fill_private_folder(own_dir, folder, args)
                                                       : ERROR_FILENAME_EXCED_RANGE;
  if (error) {
    remove_private_folder(folder);
    return stop_first_stage(info, IDS_UNINSTALL_COPY_FAILED, folder, error);
  }
  error = start_second_stage(own_dir, folder, args);
  if (error) {
    remove_private_folder(folder);
    return stop_first_stage(info, IDS_UNINSTALL_START_FAILED, folder, error);
  }
  remove_uninstall_entry(args.product_name.c_str());
  return RESULT_GO_ON;
}

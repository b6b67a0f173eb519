// First uninstall stage: runs from the install directory, copies setup and the hook library to
// the temporary directory, unpacks package.dat there, starts the second stage and ends.
#include <cstdint>
#include <cstring>

#include "install/package.h"
#include "sdk/reg_key.h"
#include "uninstall/uninstall_stages.h"
#include "util/bounded_text.h"
#include "wizard/wizard.h"

namespace {

void copy_to_temp(const char *own_dir, const char *temp_dir, const char *name, bool delete_first) {
  char source[260], target[260];
  if (!format_text(source, sizeof source, "%s\\%s", own_dir, name)) return;
  if (!format_text(target, sizeof target, "%s\\%s", temp_dir, name)) return;
  if (delete_first) DeleteFileA(target);
  CopyFileA(source, target, FALSE);
}

void start_second_stage(const char *own_dir, const char *temp_dir, const FirstStageArgs &args) {
  HANDLE self = OpenProcess(SYNCHRONIZE, TRUE, GetCurrentProcessId());
  char command[1024];
  unsigned long handle = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(self));
  int formed = args.resource_library.empty()
                   ? format_text(command, sizeof command, "%s\\setup.exe -u2 %lu \"%s\" %ld \"%s\"", temp_dir, handle,
                                 own_dir, args.n, args.product_name.c_str())
                   : format_text(command, sizeof command, "%s\\setup.exe -u2 %lu \"%s\" %ld \"%s\" \"%s\"", temp_dir,
                                 handle, own_dir, args.n, args.product_name.c_str(), args.resource_library.c_str());
  if (formed) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, command, nullptr, nullptr, TRUE, 0, nullptr, temp_dir, &startup, &process)) {
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  if (self) CloseHandle(self);
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
  if (args.n == 0 && confirm_uninstall(info)) return 1;
  char temp[260], own_dir[260];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp || !own_directory(own_dir, sizeof own_dir)) return 0;
  // The temporary directory ends with a backslash; the copies' paths then hold a doubled one,
  // which the file system accepts.
  copy_to_temp(own_dir, temp, "setup.exe", true);
  copy_to_temp(own_dir, temp, "dsetup.dll", false);
  extract_package(own_dir, temp);
  start_second_stage(own_dir, temp, args);
  remove_uninstall_entry(args.product_name.c_str());
  return 0;
}

// Unpacking and running the product a single-file installer carries, and cleaning up after it.
#include "app/bundled_product.h"

#include <cstring>

#include "res/resource.h"
#include "sdk/bundle_format.h"
#include "sdk/setup_results.h"
#include "uninstall/private_folder.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/failure_message.h"
#include "util/file_kinds.h"
#include "util/files_dat.h"
#include "util/run_options.h"
#include "util/start_copy.h"
#include "command_tail.h"
#include "scoped.h"
#include "win_file.h"

namespace {

// The trailer of the file at path, and the file's length. false when it carries no product.
bool read_trailer(const char *path, bundle::Trailer *trailer, uint64_t *length) {
  WinFile file;
  unsigned char raw[bundle::kTrailerSize];
  return file.OpenRead(path) && file.Size(length) && *length >= bundle::kTrailerSize &&
         file.Seek(*length - bundle::kTrailerSize) && file.ReadExact(raw, sizeof raw) &&
         bundle::decode_trailer(raw, *length, trailer);
}

// A member of the support archive names one file in the folder itself, other than setup.exe.
bool is_plain_name(const char *name) {
  return is_plain_file_name(name) && ascii_compare_nocase(name, "setup.exe") != 0;
}

// The first length bytes of the file at source_path into a new file at target: setup.exe
// without its product.
DWORD copy_head(const char *source_path, uint32_t length, const char *target) {
  WinFile source, out;
  if (!source.OpenRead(source_path) || !out.Create(target)) return GetLastError();
  unsigned char chunk[4096];
  for (uint32_t left = length; left > 0;) {
    uint32_t n = left < sizeof chunk ? left : static_cast<uint32_t>(sizeof chunk);
    if (!source.ReadExact(chunk, n) || !out.Write(chunk, n)) return GetLastError() ? GetLastError() : ERROR_READ_FAULT;
    left -= n;
  }
  return out.Close() ? 0 : GetLastError();
}

// The plain setup.exe and every member of the support archive into folder.
DWORD unpack(const char *own_path, uint64_t length, const bundle::Trailer &trailer, const char *folder) {
  char target[MAX_PATH];
  if (!format_text(target, sizeof target, "%s\\setup.exe", folder)) return ERROR_FILENAME_EXCED_RANGE;
  DWORD error = copy_head(own_path, trailer.archive_offset, target);
  if (error) return error;
  FilesDat support;
  if (!support.OpenWindow(own_path, trailer.support_offset, length - bundle::kTrailerSize - trailer.support_offset))
    return ERROR_OPEN_FAILED;
  FilesDatEntry entry;
  for (uint32_t i = 0; support.EntryAt(i, &entry); ++i) {
    if (!is_plain_name(entry.name)) return ERROR_INVALID_NAME;
    if (!format_text(target, sizeof target, "%s\\%s", folder, entry.name)) return ERROR_FILENAME_EXCED_RANGE;
    if (!support.Extract(entry.name, target)) return ERROR_INVALID_DATA;
    log_line("file: unpacked %s", target);
  }
  return 0;
}

// Runs folder\setup.exe with this run's arguments and "/bundle=own_path", and waits for it to end.
DWORD run_unpacked(const char *folder, const char *own_path, DWORD *exit_code) {
  char command[2048];
  if (!format_text(command, sizeof command, "\"%s\\setup.exe\" %s \"/bundle=%s\"", folder,
                   command_tail(GetCommandLineA()), own_path))
    return ERROR_FILENAME_EXCED_RANGE;
  log_line("setup: runs %s", command);
  log_close();  // the run goes on with the log
  PROCESS_INFORMATION process = {};
  DWORD error = start_copied_program(command, FALSE, folder, &process);
  ScopedHandle thread(process.hThread), child(process.hProcess);
  if (!error) {
    WaitForSingleObject(child.get(), INFINITE);
    if (!GetExitCodeProcess(child.get(), exit_code)) *exit_code = EXIT_FAILED;
  }
  if (run_options().log_path.length()) log_open(run_options().log_path.c_str(), true);
  return error;
}

void tell_unpack_failed(SetupInfo *info, const char *folder, DWORD error) {
  if (!info->setup_instance) info->setup_instance = info->resource_instance = GetModuleHandleA(nullptr);
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof temp, temp);
  show_failure(info, nullptr, IDS_BUNDLE_UNPACK_FAILED, folder[0] ? folder : temp, error);
}

}  // namespace

int run_bundled_product(SetupInfo *info, int *status) {
  char own_path[MAX_PATH], folder[MAX_PATH] = "";
  DWORD n = GetModuleFileNameA(nullptr, own_path, sizeof own_path);
  bundle::Trailer trailer;
  uint64_t length = 0;
  if (n == 0 || n >= sizeof own_path || !read_trailer(own_path, &trailer, &length)) return 0;
  DWORD error = create_private_folder(folder, sizeof folder) ? 0 : GetLastError();
  if (!error) error = unpack(own_path, length, trailer, folder);
  DWORD exit_code = EXIT_FAILED;
  if (!error) log_line("setup: the product this setup.exe carries is unpacked into %s", folder);
  if (!error) error = run_unpacked(folder, own_path, &exit_code);
  if (error) tell_unpack_failed(info, folder, error);
  if (folder[0]) remove_private_folder(folder);
  *status = error ? EXIT_FAILED : static_cast<int>(exit_code);
  return 1;
}

int use_bundle_archive(SetupInfo *info, const char *path) {
  bundle::Trailer trailer;
  uint64_t length = 0;
  if (read_trailer(path, &trailer, &length) &&
      use_embedded_archive(path, trailer.archive_offset, trailer.support_offset - trailer.archive_offset))
    return 1;
  tell_unpack_failed(info, "", ERROR_INVALID_DATA);
  return 0;
}

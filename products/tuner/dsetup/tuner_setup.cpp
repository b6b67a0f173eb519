// The tuner's install and uninstall hooks: system check, Ready summary, restoring settings.
#include "tuner_setup.h"

#include <cstdint>
#include <cstring>

#include "setup_sdk.h"
#include "text_format.h"
#include "tuner_texts.h"

namespace {

// Formats into a MAX_PATH buffer; 0 when the result would not fit.
int format_path(char *out, const char *format, const char *a, const char *b) {
  int n = text_format(out, MAX_PATH, format, a, b);
  return n >= 0 && n < MAX_PATH;
}

void format_number(String *out, const char *format, unsigned long number) {
  char text[32];
  text_format(text, sizeof text, format, number);
  *out = text;
}

// Free space of the drive that holds dir; 0 when that drive cannot tell.
int free_megabytes(const char *dir, unsigned long *free_mb) {
  char root[MAX_PATH];
  memset(root, 0, sizeof root);
  get_drive_path(dir, root);
  unsigned long total_mb = 0, used_mb = 0;
  return root[0] && get_drive_info(root, &total_mb, free_mb, &used_mb);
}

}  // namespace

int TunerSetup::SetupCreate(SetupInfo *info, void *) {
  if (is_this_a_valid_win32()) return 0;
  MessageBoxA(info->main_window, TUNER_WRONG_SYSTEM, TUNER_CAPTION, MB_OK | MB_ICONSTOP);
  return -1;
}

int TunerSetup::BeforeReadyDialog(SetupInfo *info, void *reserved) {
  int result = SetupDispatchTable::BeforeReadyDialog(info, reserved);
  if (result != 0) return result;
  uint64_t needed_kb = (static_cast<uint64_t>(info->space_needed) + 1023) / 1024;
  info->ready_text[4] = TUNER_SPACE_REQUIRED;
  format_number(&info->ready_text[5], TUNER_KB_FORMAT, static_cast<unsigned long>(needed_kb));
  unsigned long free_mb = 0;
  if (free_megabytes(info->install_dir.c_str(), &free_mb)) {
    info->ready_text[6] = TUNER_SPACE_AVAILABLE;
    format_number(&info->ready_text[7], TUNER_MB_FORMAT, free_mb);
  }
  return 0;
}

// 0 goes on: after Retry with the file that the hook copied itself (setup finds it in place and
// records it, so an uninstall removes it), after Ignore or OK without it. 1 stops the
// installation as cancelled by the user.
int TunerSetup::CopyFileFailed(SetupInfo *info, String source, String destination, void *) {
  char text[3 * MAX_PATH];
  DWORD attributes = GetFileAttributesA(source.c_str());
  bool loose = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!loose) {
    text_format(text, sizeof text, TUNER_UNPACK_FAILED, destination.c_str());
    return MessageBoxA(info->main_window, text, TUNER_CAPTION, MB_OKCANCEL | MB_ICONWARNING) == IDOK ? 0 : 1;
  }
  text_format(text, sizeof text, TUNER_COPY_FAILED, destination.c_str());
  for (;;) {
    int answer = MessageBoxA(info->main_window, text, TUNER_CAPTION, MB_ABORTRETRYIGNORE | MB_ICONWARNING);
    if (answer == IDIGNORE) return 0;
    if (answer != IDRETRY) return 1;
    if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) return 0;
  }
}

// tuner.exe -uninstall writes back the TCP/IP values it saved on its first start. The
// uninstall goes on whatever happens here: a missing tuner.exe has nothing to restore.
int TunerSetup::UninstallCreate(SetupInfo *info, void *) {
  const char *dir = info->install_dir.c_str();
  size_t length = strlen(dir);
  if (length == 0) return 0;
  const char *separator = dir[length - 1] == '\\' ? "" : "\\";
  char program[MAX_PATH];
  if (!format_path(program, "%s%stuner.exe", dir, separator)) return 0;
  if (GetFileAttributesA(program) == INVALID_FILE_ATTRIBUTES) return 0;
  char command[MAX_PATH + 16];
  int n = text_format(command, sizeof command, TUNER_UNINSTALL_COMMAND, dir, separator);
  if (n < 0 || n >= static_cast<int>(sizeof command)) return 0;
  run_program(1, command);
  return 0;
}

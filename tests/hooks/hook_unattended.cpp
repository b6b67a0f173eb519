// A hook library that answers every wizard page itself (Before hooks return 2 or 3), so setup
// installs without showing a page. It derives from the exported base class and calls setup's
// exported utilities, which proves a separately built library links against setup.exe.
#include <cstdio>
#include <cstring>

#include "setup_sdk.h"

namespace {

class UnattendedTable : public SetupDispatchTable {
 public:
  int SetupCreate(SetupInfo *info, void *) override {
    // The install directory may be preset by a file beside setup.ini (one line, no newline).
    char path[MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\target.txt", info->source_dir.c_str()) < static_cast<int>(sizeof path)) {
      FILE *file = fopen(path, "rb");
      if (file) {
        char dir[MAX_PATH] = {0};
        size_t n = fread(dir, 1, sizeof dir - 1, file);
        fclose(file);
        dir[n] = 0;
        if (n > 0) info->install_dir = dir;
      }
    }
    read_stop_switch(info);
    return is_this_a_valid_win32() ? 0 : -1;
  }
  // A file stop.txt beside setup.ini stops the copy stage: "after N" cancels from CopyFileAfter on
  // the Nth file, "kill N" ends the process there at once, "crash N" writes through a null
  // pointer there, "failed" answers a failed copy with -1.
  int CopyFileAfter(SetupInfo *, String, String, void *) override {
    if (++copied_ == kill_after_) TerminateProcess(GetCurrentProcess(), 9);
    if (copied_ == crash_after_) *static_cast<volatile int *>(nullptr) = 1;
    return copied_ == cancel_after_ ? 1 : 0;
  }
  int CopyFileFailed(SetupInfo *, String, String, void *) override { return fail_copies_ ? -1 : 0; }
  int BeforeIntroDialog(SetupInfo *, void *) override { return 2; }
  int BeforeEulaDialog(SetupInfo *, void *) override { return 3; }
  int BeforePathDialog(SetupInfo *, void *) override { return 2; }
  int BeforeStartDialog(SetupInfo *, void *) override { return 2; }
  int BeforeReadyDialog(SetupInfo *info, void *reserved) override {
    SetupDispatchTable::BeforeReadyDialog(info, reserved);
    return 2;
  }
  int BeforeCompleteDialog(SetupInfo *, void *) override { return 2; }
  // Skips the Previous Version page (which keeps the old version), unless a file replace.txt
  // beside setup.ini asks for the page, so that a test can choose Replace.
  int BeforePreviousDialog(SetupInfo *info, void *) override {
    char path[MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\replace.txt", info->source_dir.c_str()) >= static_cast<int>(sizeof path)) return 3;
    return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES ? 3 : 0;
  }
  int BeforeVerifyUninstallDialog(SetupInfo *, void *) override { return 2; }
  // A product whose uninstall first does some work of its own (as a product restoring its
  // settings would) when it installed a file slow_uninstall.txt.
  int UninstallCreate(SetupInfo *info, void *) override {
    char path[MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\slow_uninstall.txt", info->install_dir.c_str()) < static_cast<int>(sizeof path) &&
        GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
      Sleep(3000);
    return 0;
  }

 private:
  void read_stop_switch(SetupInfo *info) {
    char path[MAX_PATH], text[32] = {0};
    if (snprintf(path, sizeof path, "%s\\stop.txt", info->source_dir.c_str()) >= static_cast<int>(sizeof path)) return;
    FILE *file = fopen(path, "rb");
    if (!file) return;
    size_t n = fread(text, 1, sizeof text - 1, file);
    fclose(file);
    text[n] = 0;
    if (sscanf(text, "after %d", &cancel_after_) != 1) cancel_after_ = -1;
    if (sscanf(text, "kill %d", &kill_after_) != 1) kill_after_ = -1;
    if (sscanf(text, "crash %d", &crash_after_) != 1) crash_after_ = -1;
    fail_copies_ = strncmp(text, "failed", 6) == 0;
  }
  int copied_ = 0;
  int cancel_after_ = -1;
  int kill_after_ = -1;
  int crash_after_ = -1;
  bool fail_copies_ = false;
};

UnattendedTable g_table;

}  // namespace

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) { return &g_table; }

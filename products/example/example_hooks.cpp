// An example hook library for setup. It shows the three things most products need:
//   - skipping a wizard page (the Start-menu page, when the product places no shortcuts),
//   - adding lines to the Ready page's summary (the space the product needs),
//   - rescuing a file that failed to copy (Retry copies a loose file again, Cancel stops the
//     installation, OK goes on without a file that came from files.dat).
// It uses only system functions and setup's exports, so it needs no C runtime at all: the
// Makefile links it with -nostdlib, and it brings the two things a C runtime would have given it,
// a DLL entry point and a way to construct its table object.
#include <windows.h>

#include <new>

#include "setup_sdk.h"

namespace {

const char kCaption[] = "Example Setup";

class ExampleHooks : public SetupDispatchTable {
 public:
  int BeforeStartDialog(SetupInfo *info, void *reserved) override;
  int BeforeReadyDialog(SetupInfo *info, void *reserved) override;
  int CopyFileFailed(SetupInfo *info, String source, String destination, void *reserved) override;
};

// A Before hook that returns 2 skips its page; Back from the next page skips it again.
int ExampleHooks::BeforeStartDialog(SetupInfo *info, void *) {
  return info->start_menu_items.size() == 0 ? 2 : 0;
}

// The base class fills lines 0-3 (install folder and Start-menu folder) and clears 4-7;
// the product adds its own lines after them.
int ExampleHooks::BeforeReadyDialog(SetupInfo *info, void *reserved) {
  int result = SetupDispatchTable::BeforeReadyDialog(info, reserved);
  if (result != 0) return result;
  char kilobytes[32];
  wsprintfA(kilobytes, "%lu KB", static_cast<unsigned long>(info->space_needed / 1024 + 1));
  info->ready_text[4] = "Space required:";
  info->ready_text[5] = kilobytes;
  return 0;
}

// Called when a file could not be put in place. Returning 0 goes on (setup records the file when
// it is there); 1 stops the installation as cancelled. The Strings are setup's copies: read them,
// never free or keep their text. source names the loose file beside setup.exe; when there is
// none the file came from files.dat, which only setup itself can unpack, so there is no retry.
int ExampleHooks::CopyFileFailed(SetupInfo *info, String source, String destination, void *) {
  DWORD attributes = GetFileAttributesA(source.c_str());
  bool loose = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  char text[MAX_PATH + 96];
  wsprintfA(text, "%.259s could not be written.\n\n%s", destination.c_str(),
            loose ? "Retry, or Cancel to stop the installation." : "OK goes on without it, Cancel stops.");
  for (;;) {
    int answer = MessageBoxA(info->main_window, text, kCaption, (loose ? MB_RETRYCANCEL : MB_OKCANCEL) | MB_ICONWARNING);
    if (answer == IDOK) return 0;
    if (answer != IDRETRY) return 1;
    if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) return 0;
  }
}

// Room for the table object. Without a C runtime nothing runs the constructors of static objects,
// so the object is made here on setup's call below. It is never destroyed: it holds nothing.
alignas(ExampleHooks) unsigned char g_table_storage[sizeof(ExampleHooks)];
SetupDispatchTable *g_table = nullptr;

}  // namespace

// The library's entry point, named in the Makefile (-e); without a C runtime there is nothing to
// set up when Windows loads or unloads the library.
extern "C" BOOL WINAPI ExampleDllEntry(HINSTANCE, DWORD, void *) { return TRUE; }

// setup calls this once, right after loading the library and before it reads setup.ini.
extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) {
  if (!g_table) g_table = new (g_table_storage) ExampleHooks;
  return g_table;
}

// An example hook library for setup, in ordinary C++: one global object holds the hooks and what
// they remember, new and delete give memory, and a function-local static is made on first use.
// The kit's runtime library (libsetupcrt.a) runs the constructors and destructors and supplies
// new and delete, so the library imports no C runtime DLL and loads on every Windows setup runs on.
// It shows the four things most products need:
//   - refusing what the user typed and keeping them on the page (no install folder inside the
//     Windows folder),
//   - skipping a wizard page (the Start-menu page, when the product places no shortcuts),
//   - adding a line to the Ready page's summary (the space the product needs),
//   - rescuing a file that failed to copy (Retry copies a loose file again, Cancel stops the
//     installation, OK goes on without a file that came from files.dat; the files left out are
//     named before the Complete page).
#include <windows.h>

#include "setup_sdk.h"

// A file the user chose to install without.
struct SkippedFile {
  String path;
  SkippedFile *next;
};

class ExampleHooks : public SetupDispatchTable {
 public:
  ExampleHooks();
  ~ExampleHooks();
  int AfterPathDialog(SetupInfo *info, void *reserved) override;
  int BeforeStartDialog(SetupInfo *info, void *reserved) override;
  int BeforeReadyDialog(SetupInfo *info, void *reserved) override;
  int CopyFileFailed(SetupInfo *info, String source, String destination, void *reserved) override;
  int BeforeCompleteDialog(SetupInfo *info, void *reserved) override;

 private:
  SkippedFile *skipped_;  // in the order they failed; the object owns them
};

// The one table object. Its constructor runs when Windows loads the library, before setup calls
// SetupDllEntryPoint; its destructor when setup unloads the library at the end of the run.
ExampleHooks g_hooks;

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) { return &g_hooks; }

ExampleHooks::ExampleHooks() : skipped_(nullptr) {}

ExampleHooks::~ExampleHooks() {
  while (skipped_) {
    SkippedFile *next = skipped_->next;
    delete skipped_;
    skipped_ = next;
  }
}

// The caption of the example's message boxes, "<product> Setup".
struct Caption {
  explicit Caption(const String &product) : text(product) { text.append(" Setup"); }
  String text;
};

// The product's name is known once setup.ini has been read: the caption is made the first time a
// box shows, and destroyed with the other static objects when setup unloads the library.
static const char *CaptionText(const SetupInfo *info) {
  static const Caption caption(info->product_name);
  return caption.text.c_str();
}

// True when folder is the Windows folder or lies inside it.
static bool InWindowsFolder(const char *folder) {
  char windows[MAX_PATH], start[MAX_PATH];
  int length = static_cast<int>(GetWindowsDirectoryA(windows, sizeof windows));
  if (length <= 0 || length >= MAX_PATH || lstrlenA(folder) < length) return false;
  lstrcpynA(start, folder, length + 1);
  return lstrcmpiA(start, windows) == 0 && (folder[length] == 0 || folder[length] == '\\');
}

// The page shows again with what the user typed, so they can mend it. Nobody could in a silent
// run: there setup shows no box and ends the run as cancelled.
int ExampleHooks::AfterPathDialog(SetupInfo *info, void *) {
  if (!InWindowsFolder(info->install_dir.c_str())) return RESULT_GO_ON;
  if (!is_silent_run())
    MessageBoxA(info->main_window, "Please choose a folder outside the Windows folder.", CaptionText(info),
                MB_OK | MB_ICONWARNING);
  return RESULT_STAY_ON_PAGE;
}

// A Before hook that skips its page; Back from the next page skips it again.
int ExampleHooks::BeforeStartDialog(SetupInfo *info, void *) {
  return info->start_menu_items.size() == 0 ? RESULT_SKIP_DIALOG : RESULT_GO_ON;
}

// The base class fills lines 0-3 (install folder and Start-menu folder) and clears 4-7;
// the product adds its own lines after them.
int ExampleHooks::BeforeReadyDialog(SetupInfo *info, void *reserved) {
  int result = SetupDispatchTable::BeforeReadyDialog(info, reserved);
  if (result != RESULT_GO_ON) return result;
  char kilobytes[16];  // "4294967295 KB" at most
  wsprintfA(kilobytes, "%lu KB", static_cast<unsigned long>(info->space_needed / 1024 + 1));
  info->ready_text[4] = "Space required:";
  info->ready_text[5] = kilobytes;
  return RESULT_GO_ON;
}

// Called when a file could not be put in place. Returning 0 goes on (setup records the file when
// it is there); 1 stops the installation as cancelled. The Strings are setup's copies: read them,
// never free or keep their text. source names the loose file beside setup.exe; when there is
// none the file came from files.dat, which only setup itself can unpack, so there is no retry.
int ExampleHooks::CopyFileFailed(SetupInfo *info, String source, String destination, void *) {
  DWORD attributes = GetFileAttributesA(source.c_str());
  bool loose = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  String text(destination);
  text.append(" could not be written.\n\n");
  text.append(loose ? "Retry, or Cancel to stop the installation." : "OK goes on without it, Cancel stops.");
  for (;;) {
    int answer = MessageBoxA(info->main_window, text.c_str(), CaptionText(info),
                             (loose ? MB_RETRYCANCEL : MB_OKCANCEL) | MB_ICONWARNING);
    if (answer == IDOK) break;
    if (answer != IDRETRY) return RESULT_CANCELLED;
    if (CopyFileA(source.c_str(), destination.c_str(), FALSE)) return RESULT_GO_ON;
  }
  SkippedFile *file = new SkippedFile{destination, nullptr};  // null when memory is short
  if (!file) return RESULT_GO_ON;
  SkippedFile **end = &skipped_;
  while (*end) end = &(*end)->next;
  *end = file;
  return RESULT_GO_ON;
}

// Names the files the installation went without, once they are all known.
int ExampleHooks::BeforeCompleteDialog(SetupInfo *info, void *) {
  if (!skipped_) return RESULT_GO_ON;
  String text("These files were not installed:\n");
  for (SkippedFile *file = skipped_; file; file = file->next) text.append("\n").append(file->path);
  MessageBoxA(info->main_window, text.c_str(), CaptionText(info), MB_OK | MB_ICONINFORMATION);
  return RESULT_GO_ON;
}

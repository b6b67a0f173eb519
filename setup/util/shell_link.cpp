// create_start_link: writes a shell shortcut (.lnk) through the shell's link object.
#include <shlobj.h>

#include "sdk/utilities.h"
#include "util/bounded_text.h"

namespace {

// The shell's link class and the two interfaces used, defined here: the system's GUID library
// would bring its whole table of GUIDs into setup.
const GUID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The short form of path when the system has one, else path itself; "" when neither fits.
void short_form(const char *path, char *out) {
  DWORD n = GetShortPathNameA(path, out, MAX_PATH);
  if (n > 0 && n < MAX_PATH) return;
  if (!copy_text(out, MAX_PATH, path)) out[0] = 0;
}

// Sets everything but the file name on link. The target keeps its long form; the working
// directory and the icon file are stored short, as the oldest shells expect.
void describe_link(IShellLinkA *link, const char *target, const char *description, const char *arguments,
                   const char *working_dir, const char *icon_file, int icon_index) {
  char shortened[MAX_PATH];
  link->SetShowCmd(SW_SHOWNORMAL);
  link->SetPath(target);
  if (working_dir) {
    short_form(working_dir, shortened);
    link->SetWorkingDirectory(shortened);
  }
  if (description) link->SetDescription(description);
  if (arguments) link->SetArguments(arguments);
  if (icon_file) {
    short_form(icon_file, shortened);
    link->SetIconLocation(shortened, icon_index);
  }
}

// Saves link under shortcut_file; 1 only when the file was written.
int save_link(IShellLinkA *link, const char *shortcut_file) {
  WCHAR wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, shortcut_file, -1, wide, MAX_PATH)) return 0;
  IPersistFile *file = nullptr;
  if (FAILED(link->QueryInterface(kPersistFileInterface, reinterpret_cast<void **>(&file))) || !file) return 0;
  HRESULT saved = file->Save(wide, TRUE);
  file->Release();
  if (FAILED(saved)) return 0;
  SHChangeNotify(SHCNE_UPDATEITEM, SHCNF_PATHA, shortcut_file, nullptr);
  return 1;
}

}  // namespace

int create_start_link(const char *target, const char *shortcut_file, const char *description,
                      const char *arguments, const char *working_dir, const char *icon_file, int icon_index) {
  if (!target || !shortcut_file) return 0;
  HRESULT com = CoInitialize(nullptr);
  IShellLinkA *link = nullptr;
  int written = 0;
  if (SUCCEEDED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                 reinterpret_cast<void **>(&link))) &&
      link) {
    describe_link(link, target, description, arguments, working_dir, icon_file, icon_index);
    written = save_link(link, shortcut_file);
    link->Release();
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return written;
}

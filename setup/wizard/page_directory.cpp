// Install directory page (3002): the directory edit, the folder browser and the space display.
#include <shlobj.h>

#include <cstdint>
#include <cstring>

#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "wizard/page_common.h"
#include "wizard/pages.h"

namespace {

const int kFlags = PAGE_ASKS_BEFORE_CANCEL | PAGE_HAS_BACK;

// The edit holds at most this many characters; a longer text (set from outside) is refused.
const int kMaxDirectory = 1023;

// The largest multiple of 1024 an unsigned long holds: the cap of the KB figures.
const uint64_t kMaxKilobytes = 0xFFFFFC00u;

// Next is offered only for an acceptable path on a drive with room enough.
void refresh(HWND dialog) {
  SetupInfo *info = page_info(dialog);
  HWND next = GetDlgItem(dialog, IDOK);
  HWND edit = GetDlgItem(dialog, IDC_DIRECTORY_EDIT);
  if (!info || GetWindowTextLengthA(edit) > kMaxDirectory) {
    EnableWindow(next, FALSE);
    return;
  }
  char path[kMaxDirectory + 1] = {0};
  GetWindowTextA(edit, path, sizeof path);
  EnableWindow(next, directory_is_usable(path, info, dialog) ? TRUE : FALSE);
}

// Removes one trailing backslash from text in place.
void drop_trailing_backslash(char *text) {
  size_t length = strlen(text);
  if (length > 0 && text[length - 1] == '\\') text[length - 1] = 0;
}

// Frees an item list the shell allocated.
void free_pidl(LPITEMIDLIST pidl) {
  IMalloc *allocator = nullptr;
  if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
    allocator->Free(pidl);
    allocator->Release();
  }
}

// The system folder browser from the desktop. 1 and path (MAX_PATH bytes) filled when the
// user chose a folder of the file system; 0 when cancelled or the choice has no path.
int browse_for_folder(HWND dialog, char *path) {
  char display_name[MAX_PATH] = {0};
  BROWSEINFOA browse = {};
  browse.hwndOwner = dialog;
  browse.pszDisplayName = display_name;
  LPITEMIDLIST pidl = SHBrowseForFolderA(&browse);
  if (!pidl) return 0;
  int ok = SHGetPathFromIDListA(pidl, path) && path[0] ? 1 : 0;
  free_pidl(pidl);
  return ok;
}

void browse(HWND dialog) {
  SetupInfo *info = page_info(dialog);
  char path[MAX_PATH] = {0};
  if (!info || !browse_for_folder(dialog, path)) return;
  SetDlgItemTextA(dialog, IDC_DIRECTORY_EDIT, path);
  drop_trailing_backslash(path);
  info->install_dir = path;
  refresh(dialog);
}

// Keeps the edit's directory, tidied, as install_dir and ends the page.
void next(HWND dialog) {
  SetupInfo *info = page_info(dialog);
  HWND edit = GetDlgItem(dialog, IDC_DIRECTORY_EDIT);
  // Enter reaches here only through an enabled Next; a command sent while it is disabled is ignored.
  if (!info || !IsWindowEnabled(GetDlgItem(dialog, IDOK))) return;
  if (GetWindowTextLengthA(edit) > kMaxDirectory) {
    EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
    return;
  }
  char path[kMaxDirectory + 1] = {0};
  GetWindowTextA(edit, path, sizeof path);
  take_directory(info, path);
  page_end(dialog, IDOK);
}

INT_PTR on_command(HWND dialog, WORD id, WORD code) {
  switch (id) {
    case IDC_DIRECTORY_EDIT:
      if (code == EN_CHANGE || code == EN_UPDATE) refresh(dialog);
      return TRUE;
    case IDC_DIRECTORY_BROWSE:
      browse(dialog);
      return TRUE;
    case IDOK:
      next(dialog);
      return TRUE;
    default:
      return page_command(dialog, id, kFlags);
  }
}

// The space needed and available in KB (the latter capped); 1 when the drive could be measured.
int measure_space(const char *path, SetupInfo *info, unsigned long *needed, unsigned long *available) {
  char drive[MAX_PATH] = {0};
  get_drive_path(path, drive);
  unsigned long total_mb = 0, free_mb = 0, used_mb = 0;
  // An empty drive would make the system measure the current directory's drive instead.
  int measured = drive[0] && get_drive_info(drive, &total_mb, &free_mb, &used_mb);
  uint64_t kilobytes = measured ? static_cast<uint64_t>(free_mb) * 1024 : 0;
  *available = static_cast<unsigned long>(kilobytes > kMaxKilobytes ? kMaxKilobytes : kilobytes);
  *needed = info ? info->space_needed / 1024 : 0;
  return measured;
}

}  // namespace

int directory_is_usable(const char *path, SetupInfo *info, HWND dialog) {
  unsigned long needed = 0, available = 0;
  int measured = measure_space(path, info, &needed, &available);
  if (dialog) {
    char text[MAX_PATH];
    format_text(text, sizeof text, "%lu KB", needed);
    SetDlgItemTextA(dialog, IDC_SPACE_NEEDED, text);
    format_text(text, sizeof text, "%lu KB", available);
    SetDlgItemTextA(dialog, IDC_SPACE_AVAILABLE, text);
  }
  return measured && needed <= available && path_is_ok(path, 0, 0);
}

void take_directory(SetupInfo *info, char *path) {
  drop_trailing_backslash(path);
  size_t length = strlen(path);
  while (length > 0 && path[length - 1] == ' ') path[--length] = 0;
  info->install_dir = path;
}

INT_PTR CALLBACK directory_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetupInfo *info = page_begin(dialog, lparam);
      HWND edit = GetDlgItem(dialog, IDC_DIRECTORY_EDIT);
      SendMessageA(edit, EM_LIMITTEXT, kMaxDirectory, 0);
      if (info) SetWindowTextA(edit, info->install_dir.c_str());
      refresh(dialog);
      return page_focus_forward(dialog);
    }
    case WM_COMMAND:
      return on_command(dialog, LOWORD(wparam), HIWORD(wparam));
    default:
      return page_default(dialog, message, kFlags);
  }
}

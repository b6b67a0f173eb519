// Licence page (3001): the text of license.txt from the source directory, read-only.
#include <cstdlib>

#include "res/resource.h"
#include "util/bounded_text.h"
#include "wizard/page_common.h"
#include "wizard/pages.h"
#include "scoped.h"

namespace {

const int kFlags = PAGE_ASKS_BEFORE_CANCEL | PAGE_HAS_BACK;

// A licence is a few pages; a larger file is shown up to this many bytes rather than read whole
// into memory (an edit control could not usefully hold more anyway).
const DWORD kMaxLicenseBytes = 1024 * 1024;

// Reads "<source_dir>\license.txt" unchanged into a zero-terminated buffer the caller frees.
// Null when the file cannot be opened or read or the memory cannot be had.
char *read_license(const SetupInfo *info) {
  char path[MAX_PATH];
  if (!format_text(path, sizeof path, "%s\\license.txt", info->source_dir.c_str())) return nullptr;
  ScopedHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return nullptr;
  DWORD high = 0;
  DWORD size = GetFileSize(file.get(), &high);
  if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return nullptr;
  if (high != 0 || size > kMaxLicenseBytes) size = kMaxLicenseBytes;
  char *text = static_cast<char *>(calloc(size + 1, 1));
  if (!text) return nullptr;
  DWORD done = 0;
  if (size > 0 && !ReadFile(file.get(), text, size, &done, nullptr)) {
    free(text);
    return nullptr;
  }
  text[done] = 0;
  return text;
}

// Fills the licence edit; 0 when there is no licence to show.
int show_license(HWND dialog, const SetupInfo *info) {
  char *text = read_license(info);
  if (!text) return 0;
  HWND edit = GetDlgItem(dialog, IDC_LICENSE_TEXT);
  SendMessageA(edit, EM_LIMITTEXT, kMaxLicenseBytes, 0);
  SetWindowTextA(edit, text);
  SendMessageA(edit, EM_SETSEL, 0, 0);
  free(text);
  return 1;
}

}  // namespace

INT_PTR CALLBACK license_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetupInfo *info = page_begin(dialog, lparam);
      // Without its licence the installation cannot be agreed to: leave as if cancelled.
      if (!info || !show_license(dialog, info)) {
        page_end(dialog, IDCANCEL);
        return TRUE;
      }
      return page_focus_forward(dialog);
    }
    case WM_COMMAND:
      return page_command(dialog, LOWORD(wparam), kFlags);
    default:
      return page_default(dialog, message, kFlags);
  }
}

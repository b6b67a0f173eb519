// Start-menu folder page (3003): the folder name edit and the list of existing folders.
#include "scoped.h"
#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/bounded_text.h"
#include "util/start_menu_folder.h"
#include "wizard/page_common.h"
#include "wizard/pages.h"

namespace {

const int kFlags = PAGE_ASKS_BEFORE_CANCEL | PAGE_HAS_BACK;

// start_menu_folder holds at most this many characters.
const int kMaxFolder = MAX_PATH - 1;

// Text of list entry index into text (MAX_PATH bytes); 0 when it is missing, empty or too long.
int list_entry(HWND list, LRESULT index, char *text) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR || length <= 0 || length > kMaxFolder) return 0;
  return SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text)) == length;
}

// A product under its plain name reuses an existing folder of the longer name.
void apply_special_folder(HWND dialog, SetupInfo *info) {
  if (!kSpecialProductName[0] || !kSpecialFolderName[0]) return;
  String first, rest;
  split_folder_name(info->start_menu_folder.c_str(), &first, &rest);
  if (ascii_compare_nocase(first.c_str(), kSpecialProductName) != 0) return;
  HWND list = GetDlgItem(dialog, IDC_START_MENU_LIST);
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  char entry[MAX_PATH];
  for (LRESULT i = 0; i < count; ++i) {
    if (!list_entry(list, i, entry) || ascii_compare_nocase(entry, kSpecialFolderName) != 0) continue;
    String folder(kSpecialFolderName);
    folder.append(rest);
    info->start_menu_folder = folder;
  }
}

void show_folder(HWND dialog, const char *folder) {
  HWND edit = GetDlgItem(dialog, IDC_START_MENU_EDIT);
  SetWindowTextA(edit, folder);
  SendMessageA(edit, EM_SETSEL, 0, -1);
}

void init(HWND dialog, SetupInfo *info) {
  char programs[1024] = {0};
  get_programs_path(programs);
  fill_folder_list(dialog, programs);
  SendDlgItemMessageA(dialog, IDC_START_MENU_EDIT, EM_LIMITTEXT, kMaxFolder, 0);
  apply_special_folder(dialog, info);
  show_folder(dialog, info->start_menu_folder.c_str());
}

// A double click copies the chosen folder's name into the edit.
void take_selected_folder(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_START_MENU_LIST);
  LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
  char entry[MAX_PATH];
  if (selected == LB_ERR || !list_entry(list, selected, entry)) return;
  show_folder(dialog, entry);
}

// Keeps the folder name and moves every shortcut of the script into it.
void next(HWND dialog) {
  SetupInfo *info = page_info(dialog);
  if (!info) return;
  char folder[kMaxFolder + 1] = {0};
  GetDlgItemTextA(dialog, IDC_START_MENU_EDIT, folder, sizeof folder);
  take_start_menu_folder(info, folder);
  page_end(dialog, IDOK);
}

INT_PTR on_command(HWND dialog, WORD id, WORD code) {
  switch (id) {
    case IDC_START_MENU_LIST:
      if (code == LBN_DBLCLK) take_selected_folder(dialog);
      return TRUE;
    case IDOK:
      next(dialog);
      return TRUE;
    default:
      return page_command(dialog, id, kFlags);
  }
}

}  // namespace

void fill_folder_list(HWND dialog, const char *programs_folder) {
  // Without a Programs folder the pattern would list the current drive's root instead.
  if (!programs_folder || !programs_folder[0]) return;
  char pattern[MAX_PATH];
  if (!format_text(pattern, sizeof pattern, "%s\\*.*", programs_folder)) return;
  WIN32_FIND_DATAA found;
  ScopedFind search(pattern, &found);
  if (!search.valid()) return;
  HWND list = GetDlgItem(dialog, IDC_START_MENU_LIST);
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.') {
      SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(found.cFileName));
    }
  } while (search.next(&found));
}

void take_start_menu_folder(SetupInfo *info, const char *folder) {
  info->start_menu_folder = folder;
  for (SetupStartMenu &item : info->start_menu_items) item.path = folder;
}

INT_PTR CALLBACK start_menu_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG: {
      SetupInfo *info = page_begin(dialog, lparam);
      if (info) init(dialog, info);
      return page_focus_forward(dialog);
    }
    case WM_COMMAND:
      return on_command(dialog, LOWORD(wparam), HIWORD(wparam));
    default:
      return page_default(dialog, message, kFlags);
  }
}

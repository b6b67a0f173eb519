// run_uninstall and remove_product: the hooks around the removal, the Uninstalling dialog or a
// silent removal, and the scheduling of setup's temporary copies for deletion.
#include <cstring>

#include "install/uninstall_record.h"
#include "res/resource.h"
#include "sdk/reg_key.h"
#include "sdk/utilities.h"
#include "uninstall/remove_items.h"
#include "uninstall/uninstall_stages.h"
#include "util/bounded_text.h"

namespace {

// A progress line: shown in list 302 and followed by a pause, unless a newer version's
// installer runs this uninstall (then neither happens).
void progress_line(SetupInfo *info, HWND window, int id) {
  if (info->replacing_previous) return;
  if (window) {
    char text[260] = {0};
    load_res_string(info, id, text, sizeof text);
    SendDlgItemMessageA(window, 302, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    UpdateWindow(window);
  }
  Sleep(500);
}

void show_outcome(SetupInfo *info, HWND window) {
  if (!window) return;
  char text[260] = {0};
  load_res_string(info, info->removal_incomplete ? IDS_UNINSTALL_PARTIAL : IDS_UNINSTALL_DONE, text, sizeof text);
  SetDlgItemTextA(window, 303, text);
  if (info->removal_incomplete) ShowWindow(GetDlgItem(window, 4), SW_SHOWNORMAL);
  EnableWindow(GetDlgItem(window, IDOK), TRUE);
  SetFocus(GetDlgItem(window, IDOK));
}

void schedule_temporary_copies() {
  char temp[260], path[260];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n == 0 || n >= sizeof temp) return;
  if (format_text(path, sizeof path, "%ssetup.exe", temp)) mark_file_for_deletion(path);
  if (format_text(path, sizeof path, "%sdsetup.dll", temp)) mark_file_for_deletion(path);
}

// The uninstall record lived in HKLM\Software\Quorvane\<product>\uninstall; once the record
// is gone the product's key is left empty, and an empty key is removed with it.
void remove_empty_product_key(SetupInfo *info) {
  const char *product = info->product_name.c_str();
  if (!product[0] || strchr(product, '\\')) return;
  char path[260];
  if (!format_text(path, sizeof path, "Software\\Quorvane\\%s", product)) return;
  kRegKey key;
  if (!key.Open(HKEY_LOCAL_MACHINE, path)) return;
  bool empty = key.children() == 0 && key.values() == 0;
  key.Close();
  kRegKey maker;
  if (empty && maker.Open(HKEY_LOCAL_MACHINE, "Software\\Quorvane")) RegDeleteKeyA(maker, product);
}

int show_uninstalling_dialog(SetupInfo *info, SetupDispatchTable *table) {
  UninstallContext context = {info, table};
  LPARAM param = reinterpret_cast<LPARAM>(&context);
  HWND owner = GetDesktopWindow();
  INT_PTR r =
      DialogBoxParamA(info->resource_instance, MAKEINTRESOURCEA(IDD_UNINSTALLING), owner, uninstall_dialog_proc, param);
  if (r == -1)
    r = DialogBoxParamA(info->setup_instance, MAKEINTRESOURCEA(IDD_UNINSTALLING), owner, uninstall_dialog_proc, param);
  return r == -1 ? -1 : 0;
}

}  // namespace

int remove_product(SetupInfo *info, SetupDispatchTable *table, HWND window) {
  read_uninstall_record(info);
  int r = table->AfterVerifyUninstallDialog(info, nullptr);
  if (r != 0) return r;
  progress_line(info, window, IDS_REMOVING_FILES);
  if (remove_files(info) != 0) return -1;
  progress_line(info, window, IDS_REMOVING_START_MENU);
  progress_line(info, window, IDS_REMOVING_ASSOCIATIONS);
  if (remove_associations(info) != 0) return -1;
  progress_line(info, window, IDS_REMOVING_DIRECTORIES);
  if (remove_directories(info) != 0) return -1;
  progress_line(info, window, IDS_REMOVING_REGISTRY);
  if (remove_registry_keys(info) != 0) return -1;
  remove_empty_product_key(info);
  if (info->replacing_previous) return 0;
  progress_line(info, window, IDS_PROCESS_COMPLETE);
  show_outcome(info, window);
  return 0;
}

int run_uninstall(SetupInfo *info, SetupDispatchTable *table) {
  int r = table->UninstallCreate(info, nullptr);
  if (r != 0) return r;
  if (info->replacing_previous) {
    remove_product(info, table, nullptr);
  } else {
    r = table->BeforeVerifyUninstallDialog(info, nullptr);
    if (r == -1) return -1;
    if (r == 2 || r == 3) {
      remove_product(info, table, nullptr);
    } else if (show_uninstalling_dialog(info, table) != 0) {
      return -1;
    }
  }
  r = table->UninstallDestroy(info, nullptr);
  if (r != 0) return r;
  schedule_temporary_copies();
  return 0;
}

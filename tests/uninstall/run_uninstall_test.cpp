// The uninstall sequence: which hooks run in which order for each hook result, whether the
// Uninstalling dialog shows, what run_uninstall returns and whether the private folder the second
// stage runs from is removed (what is in use there at the restart). The product has no uninstall
// record, so nothing real is removed.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/scratch.h"
#include "uninstall/private_folder.h"
#include "uninstall/uninstall_stages.h"
#include "wizard/page_harness.h"
#include "wizard/recording_table.h"

namespace {

// What a restart will delete, as raw bytes of the delayed-move list or of WinInit.Ini.
std::string restart_deletions() {
  std::string all;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    std::string data(65536, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE *>(&data[0]),
                         &size) == ERROR_SUCCESS)
      all = data.substr(0, size);
    RegCloseKey(key);
  }
  char windows[MAX_PATH] = {0};
  GetWindowsDirectoryA(windows, sizeof windows);
  return all + read_file(std::string(windows) + "\\WinInit.Ini");
}

// Ticks until the dialog shows its outcome (OK enabled), records "outcome" and closes it. Had
// Escape or Cancel, pressed while it worked, ended the dialog, it would never tick inside it.
RecordingTable *outcome_table;
UINT_PTR outcome_timer;
void CALLBACK record_outcome_and_close(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = page::find_dialog();
  if (!dialog || !IsWindowEnabled(GetDlgItem(dialog, IDOK))) return;
  KillTimer(nullptr, outcome_timer);
  outcome_table->calls.push_back("outcome");
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

struct UninstallCase {
  const char *what;
  int replacing_previous;
  HookResults results;
  HookCalls expected_calls;  // "dialog" where AfterVerifyUninstallDialog ran inside dialog 3008
  int expected_result;
  bool copies_scheduled;
};

TEST(RunUninstall, HookResultsDecideTheSequence) {
  const HookCalls silent = {"UninstallCreate", "BeforeVerifyUninstallDialog", "AfterVerifyUninstallDialog",
                            "UninstallDestroy"};
  const HookCalls in_dialog = {"UninstallCreate", "BeforeVerifyUninstallDialog", "dialog", "AfterVerifyUninstallDialog",
                               "outcome", "UninstallDestroy"};
  const HookCalls replacing = {"UninstallCreate", "AfterVerifyUninstallDialog", "UninstallDestroy"};
  const UninstallCase cases[] = {
      {"UninstallCreate cancels", 0, {{"UninstallCreate", {1}}}, {"UninstallCreate"}, 1, false},
      {"UninstallCreate fails", 0, {{"UninstallCreate", {-1}}}, {"UninstallCreate"}, -1, false},
      {"UninstallCreate stops with any nonzero", 0, {{"UninstallCreate", {6}}}, {"UninstallCreate"}, 6, false},
      {"BeforeVerifyUninstallDialog fails", 0, {{"BeforeVerifyUninstallDialog", {-1}}},
       {"UninstallCreate", "BeforeVerifyUninstallDialog"}, -1, false},
      {"2 removes without the dialog; AfterVerify stops only the removal", 0,
       {{"BeforeVerifyUninstallDialog", {2}}, {"AfterVerifyUninstallDialog", {1}}}, silent, 0, true},
      {"3 removes without the dialog", 0, {{"BeforeVerifyUninstallDialog", {3}}, {"AfterVerifyUninstallDialog", {-1}}},
       silent, 0, true},
      {"1 from BeforeVerify shows the dialog", 0,
       {{"BeforeVerifyUninstallDialog", {1}}, {"AfterVerifyUninstallDialog", {1}}}, in_dialog, 0, true},
      {"4 from BeforeVerify shows the dialog", 0,
       {{"BeforeVerifyUninstallDialog", {4}}, {"AfterVerifyUninstallDialog", {5}}}, in_dialog, 0, true},
      {"UninstallDestroy stops before the copies are scheduled", 0,
       {{"BeforeVerifyUninstallDialog", {2}}, {"AfterVerifyUninstallDialog", {1}}, {"UninstallDestroy", {-1}}}, silent,
       -1, false},
      {"a newer installer's uninstall asks nothing", 1, {}, replacing, 0, true},
      {"UninstallDestroy cancels", 1, {{"UninstallDestroy", {1}}}, replacing, 1, false},
  };
  for (const UninstallCase &c : cases) {
    SetupInfo info;
    page::use_own_resources(&info);
    info.product_name = "Zindle Run Uninstall Test";
    info.replacing_previous = c.replacing_previous;
    RecordingTable table(c.results);
    // Inside the dialog the removal stops at AfterVerifyUninstallDialog. Escape, Cancel and the
    // close box pressed while it works are ignored; once the outcome shows, the close box ends it.
    outcome_table = &table;
    table.on_call = [&table](const std::string &hook) {
      HWND dialog = page::find_dialog();
      if (hook != "AfterVerifyUninstallDialog" || !dialog) return;
      table.calls.insert(table.calls.end() - 1, "dialog");
      PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      PostMessageA(dialog, WM_CLOSE, 0, 0);
      outcome_timer = SetTimer(nullptr, 0, 50, record_outcome_and_close);
    };
    // The folder holds one copy in use (as the running setup.exe is) and one that is not.
    char folder[MAX_PATH];
    ASSERT_TRUE(create_private_folder(folder, sizeof folder)) << c.what;
    info.source_dir = folder;
    const std::string in_use = std::string(folder) + "\\setup.exe", unused = std::string(folder) + "\\dsetup.dll";
    ASSERT_TRUE(write_file(in_use, "exe") && write_file(unused, "dll"));
    HANDLE held = CreateFileA(in_use.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string deletions = restart_deletions();
    EXPECT_EQ(c.expected_result, run_uninstall(&info, &table)) << c.what;
    KillTimer(nullptr, outcome_timer), outcome_timer = 0;
    EXPECT_EQ(c.expected_calls, table.calls) << c.what;
    EXPECT_EQ(c.copies_scheduled, restart_deletions() != deletions) << c.what;
    EXPECT_EQ(c.copies_scheduled, !file_exists(unused)) << c.what;
    CloseHandle(held);
    remove_private_folder(folder);
  }
}

}  // namespace

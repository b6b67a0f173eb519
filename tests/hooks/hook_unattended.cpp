// The test suites' hook library. It answers every page itself (Before hooks return 2 or 3), so
// setup installs without showing one, unless show_pages.txt lies beside setup.ini and target.txt
// does not; target.txt (one line) names the install directory. It derives from the exported base
// class and calls setup's exported utilities, which proves that a separately built library links
// against setup.exe. A file that cannot be copied stops the installation, unless
// skip_failed_copies.txt lies beside setup.ini.
//
// It fails on demand as fault.txt says, read from the temporary directory when the library is
// loaded, else from beside setup.ini: "WHERE cancel|crash|kill N [TEXT]". WHERE is a hook (its N-th
// call) or one of the system calls below through which setup changes files and the registry (its
// N-th call whose name argument holds TEXT: the change is not made). cancel makes a copy hook
// return 1, crash writes through a null pointer, kill ends the process at once (status 9); each
// first leaves fault-hit.txt beside fault.txt.
#include <cstdio>
#include <cstring>

#include "setup_sdk.h"

namespace {

struct Fault {
  char dir[MAX_PATH], where[64], action[16], text[200];
  int nth, calls;
};
Fault g_fault;

// "dir\name" into out (MAX_PATH bytes); false when it does not fit.
bool path_in(char *out, const char *dir, const char *name) {
  return snprintf(out, MAX_PATH, "%s\\%s", dir, name) < MAX_PATH;
}

bool file_there(const char *dir, const char *name) {
  char path[MAX_PATH];
  return path_in(path, dir, name) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool read_fault(const char *dir) {
  char path[MAX_PATH];
  FILE *file = path_in(path, dir, "fault.txt") ? fopen(path, "rb") : nullptr;
  if (!file) return false;
  if (fscanf(file, "%63s %15s %d %199[^\r\n]", g_fault.where, g_fault.action, &g_fault.nth, g_fault.text) < 3)
    g_fault.where[0] = 0;
  fclose(file);
  snprintf(g_fault.dir, sizeof g_fault.dir, "%s", dir);
  return true;
}

// True when a cancel strikes here; a crash or a kill does not return.
bool fault_point(const char *where, const char *name = "") {
  if (strcmp(where, g_fault.where) != 0 || !strstr(name ? name : "", g_fault.text) || ++g_fault.calls != g_fault.nth)
    return false;
  char path[MAX_PATH];  // the test sees that the fault happened
  if (path_in(path, g_fault.dir, "fault-hit.txt"))
    CloseHandle(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  if (strcmp(g_fault.action, "cancel") == 0) return true;
  if (strcmp(g_fault.action, "kill") == 0) TerminateProcess(GetCurrentProcess(), 9);
  volatile int *nowhere = nullptr;
  *nowhere = 1;
  return false;
}

#define STOP_POINT(ret, name, params, args, text)       \
  ret(WINAPI *real_##name) params = name;               \
  ret WINAPI stop_##name params {                       \
    fault_point(#name, text);                           \
    return real_##name args;                            \
  }
STOP_POINT(BOOL, CreateDirectoryA, (LPCSTR p, LPSECURITY_ATTRIBUTES s), (p, s), p)
STOP_POINT(HANDLE, CreateFileA, (LPCSTR p, DWORD a, DWORD m, LPSECURITY_ATTRIBUTES s, DWORD c, DWORD f, HANDLE t),
           (p, a, m, s, c, f, t), p)
STOP_POINT(BOOL, DeleteFileA, (LPCSTR p), (p), p)
STOP_POINT(BOOL, RemoveDirectoryA, (LPCSTR p), (p), p)
STOP_POINT(LONG, RegCreateKeyExA, (HKEY k, LPCSTR n, DWORD r, LPSTR c, DWORD o, REGSAM m, LPSECURITY_ATTRIBUTES s,
                                   PHKEY h, LPDWORD d), (k, n, r, c, o, m, s, h, d), n)
STOP_POINT(LONG, RegSetValueExA, (HKEY k, LPCSTR n, DWORD r, DWORD t, const BYTE *d, DWORD c), (k, n, r, t, d, c), n)
STOP_POINT(LONG, RegDeleteValueA, (HKEY k, LPCSTR n), (k, n), n)
STOP_POINT(LONG, RegDeleteKeyA, (HKEY k, LPCSTR n), (k, n), n)

// Points setup.exe's import of the faulted system call at its stop point.
void patch_imports() {
  static const struct { const char *name; void *real, *stop; } calls[] = {
#define CALL(name) {#name, reinterpret_cast<void *>(real_##name), reinterpret_cast<void *>(stop_##name)}
      CALL(CreateDirectoryA), CALL(CreateFileA), CALL(DeleteFileA), CALL(RemoveDirectoryA), CALL(RegCreateKeyExA),
      CALL(RegSetValueExA), CALL(RegDeleteValueA), CALL(RegDeleteKeyA)};
  BYTE *exe = reinterpret_cast<BYTE *>(GetModuleHandleA(nullptr));
  IMAGE_NT_HEADERS *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(exe + reinterpret_cast<IMAGE_DOS_HEADER *>(exe)->e_lfanew);
  DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto *d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(exe + imports); imports && d->Name; ++d)
    for (auto *t = reinterpret_cast<IMAGE_THUNK_DATA *>(exe + d->FirstThunk); t->u1.Function; ++t)
      for (const auto &call : calls)
        if (reinterpret_cast<void *>(t->u1.Function) == call.real && strcmp(call.name, g_fault.where) == 0) {
          DWORD old;
          VirtualProtect(&t->u1.Function, sizeof t->u1.Function, PAGE_READWRITE, &old);
          t->u1.Function = reinterpret_cast<ULONG_PTR>(call.stop);
          VirtualProtect(&t->u1.Function, sizeof t->u1.Function, old, &old);
        }
}

bool g_answers_pages = true;
bool g_skips_failed_copies = false;

#define FAULT_THEN(hook, result)                                                        \
  int hook(SetupInfo *info, void *reserved) override {                                  \
    fault_point(#hook);                                                                 \
    return g_answers_pages ? result : SetupDispatchTable::hook(info, reserved);         \
  }

class UnattendedTable : public SetupDispatchTable {
 public:
  int SetupCreate(SetupInfo *info, void *) override {
    const char *source = info->source_dir.c_str();
    if (!g_fault.dir[0] && read_fault(source)) patch_imports();
    fault_point("SetupCreate");
    char path[MAX_PATH], dir[MAX_PATH] = {0};
    FILE *file = path_in(path, source, "target.txt") ? fopen(path, "rb") : nullptr;
    size_t n = file ? fread(dir, 1, sizeof dir - 1, file) : 0;
    if (file) fclose(file);
    if (n > 0) info->install_dir = dir;
    g_answers_pages = n > 0 || !file_there(source, "show_pages.txt");
    g_skips_failed_copies = file_there(source, "skip_failed_copies.txt");
    return is_this_a_valid_win32() ? 0 : -1;
  }
  FAULT_THEN(SetupDestroy, 0)
  FAULT_THEN(BeforeIntroDialog, 2)
  FAULT_THEN(BeforeEulaDialog, 3)
  FAULT_THEN(BeforePathDialog, 2)
  FAULT_THEN(BeforeStartDialog, 2)
  FAULT_THEN(BeforeCompleteDialog, 2)
  FAULT_THEN(BeforeVerifyUninstallDialog, 2)
  FAULT_THEN(AfterVerifyUninstallDialog, 0)
  FAULT_THEN(CopyBefore, 0)
  FAULT_THEN(CopyAfter, 0)
  FAULT_THEN(UninstallDestroy, 0)
  int BeforeReadyDialog(SetupInfo *info, void *reserved) override {
    fault_point("BeforeReadyDialog");
    int shown = SetupDispatchTable::BeforeReadyDialog(info, reserved);
    return g_answers_pages ? 2 : shown;
  }
  // The earlier installation is kept, unless replace.txt beside setup.ini asks for the Previous
  // Version page (where a test can choose Replace, and which a silent run answers "remove it").
  int BeforePreviousDialog(SetupInfo *info, void *) override {
    fault_point("BeforePreviousDialog");
    return g_answers_pages && !file_there(info->source_dir.c_str(), "replace.txt") ? 3 : 0;
  }
  // With refuse_dir.txt beside setup.ini, the directory is refused as a maker's hook would: a box
  // says why, and the result is the file's number (4 back, 5 stay). Each refusal appends what
  // is_silent_run said to refused.txt.
  int AfterPathDialog(SetupInfo *info, void *reserved) override {
    fault_point("AfterPathDialog");
    char path[MAX_PATH];
    FILE *file = path_in(path, info->source_dir.c_str(), "refuse_dir.txt") ? fopen(path, "rb") : nullptr;
    if (!file) return SetupDispatchTable::AfterPathDialog(info, reserved);
    int result = 4;
    if (fscanf(file, "%d", &result) != 1) result = 4;
    fclose(file);
    FILE *seen = path_in(path, info->source_dir.c_str(), "refused.txt") ? fopen(path, "ab") : nullptr;
    if (seen) {
      fprintf(seen, "silent=%d\n", is_silent_run());
      fclose(seen);
    }
    MessageBoxA(info->main_window, "The install folder must not hold a blank.", "Folder refused", MB_OK | MB_ICONWARNING);
    return result;
  }
  int CopyFileBefore(SetupInfo *, String, String, void *) override { return fault_point("CopyFileBefore"); }
  int CopyFileAfter(SetupInfo *, String, String, void *) override { return fault_point("CopyFileAfter"); }
  int CopyFileFailed(SetupInfo *, String, String, void *) override { return g_skips_failed_copies ? 0 : -1; }
  // A product whose uninstall first does some work of its own (as a product restoring its
  // settings would) when it installed a file slow_uninstall.txt.
  int UninstallCreate(SetupInfo *info, void *) override {
    fault_point("UninstallCreate");
    if (file_there(info->install_dir.c_str(), "slow_uninstall.txt")) Sleep(3000);
    return 0;
  }
};

UnattendedTable g_table;

}  // namespace

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) {
  static bool patched = false;
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(sizeof temp, temp);
  if (n > 0 && n < sizeof temp) temp[n - 1] = 0;  // without its final backslash
  if (!patched && n > 0 && n < sizeof temp && read_fault(temp)) patch_imports();
  patched = true;
  return &g_table;
}

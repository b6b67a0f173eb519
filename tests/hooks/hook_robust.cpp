// The robustness campaign's hook library. When target.txt beside setup.ini names the install
// directory it answers every page itself (as hook_unattended does); without it the pages show (or a
// silent run answers them from its switches). It stops the installation when a file cannot be
// copied (a product that needs all of its files), and fails on demand as fault.txt in the
// temporary directory says: "WHERE crash|kill N [TEXT]". WHERE is a hook (its N-th call) or one of
// the system calls below through which setup changes files and the registry (its N-th call whose
// name argument holds TEXT: the change is not made). crash writes through a null pointer, kill
// ends the process at once (status 9); either first leaves fault-hit.txt beside fault.txt.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "setup_sdk.h"

namespace {

struct Fault {
  char where[64], action[16], text[200];
  int nth, calls;
};
Fault g_fault;

void read_fault() {
  char path[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH - 10, path);
  FILE *file = n > 0 && n < MAX_PATH - 10 ? fopen(strcat(path, "fault.txt"), "rb") : nullptr;
  if (!file) return;
  if (fscanf(file, "%63s %15s %d %199[^\r\n]", g_fault.where, g_fault.action, &g_fault.nth, g_fault.text) < 3)
    g_fault.where[0] = 0;
  fclose(file);
}

void fault_point(const char *where, const char *name = "") {
  if (strcmp(where, g_fault.where) != 0 || !strstr(name ? name : "", g_fault.text) || ++g_fault.calls != g_fault.nth)
    return;
  char path[MAX_PATH];  // fault-hit.txt beside fault.txt: the campaign sees that the fault happened
  DWORD n = GetTempPathA(MAX_PATH - 14, path);
  if (n > 0 && n < MAX_PATH - 14) CloseHandle(CreateFileA(strcat(path, "fault-hit.txt"), GENERIC_WRITE, 0, nullptr,
                                                          CREATE_ALWAYS, 0, nullptr));
  if (strcmp(g_fault.action, "kill") == 0) TerminateProcess(GetCurrentProcess(), 9);
  volatile int *nowhere = nullptr;
  *nowhere = 1;
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

bool g_answers_pages = true;  // false in an install without target.txt

#define FAULT_THEN(hook, result)                                                        \
  int hook(SetupInfo *info, void *reserved) override {                                  \
    fault_point(#hook);                                                                 \
    return g_answers_pages ? result : SetupDispatchTable::hook(info, reserved);         \
  }

class RobustTable : public SetupDispatchTable {
 public:
  int SetupCreate(SetupInfo *info, void *) override {
    fault_point("SetupCreate");
    char path[MAX_PATH];
    if (snprintf(path, sizeof path, "%s\\target.txt", info->source_dir.c_str()) >= static_cast<int>(sizeof path)) return 0;
    FILE *file = fopen(path, "rb");
    if (!file) return 0;
    char dir[MAX_PATH] = {0};
    size_t n = fread(dir, 1, sizeof dir - 1, file);
    fclose(file);
    if (n > 0) info->install_dir = dir;
    g_answers_pages = n > 0;
    return 0;
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
  FAULT_THEN(UninstallCreate, 0)
  FAULT_THEN(UninstallDestroy, 0)
  FAULT_THEN(BeforeUninstallDialog, 0)
  FAULT_THEN(AfterUninstallDialog, 0)
  int BeforeReadyDialog(SetupInfo *info, void *reserved) override {
    fault_point("BeforeReadyDialog");
    int shown = SetupDispatchTable::BeforeReadyDialog(info, reserved);
    return g_answers_pages ? 2 : shown;
  }
  // The earlier installation is kept, unless replace.txt beside setup.ini asks for the page (which
  // a silent run answers with "remove it").
  int BeforePreviousDialog(SetupInfo *info, void *) override {
    fault_point("BeforePreviousDialog");
    String replace(info->source_dir);
    replace.append("\\replace.txt");
    return g_answers_pages && GetFileAttributesA(replace.c_str()) == INVALID_FILE_ATTRIBUTES ? 3 : 0;
  }
  int CopyFileBefore(SetupInfo *, String, String, void *) override {
    fault_point("CopyFileBefore");
    return 0;
  }
  int CopyFileAfter(SetupInfo *, String, String, void *) override {
    fault_point("CopyFileAfter");
    return 0;
  }
  int CopyFileFailed(SetupInfo *, String, String, void *) override { return -1; }
};

RobustTable g_table;

}  // namespace

extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *, int) {
  static bool patched = false;
  if (!patched) read_fault(), patch_imports(), patched = true;
  return &g_table;
}

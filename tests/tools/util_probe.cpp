// util_probe: calls the utilities setup.exe exports, by name, and prints what they answer.
//   util_probe SETUP.EXE versions       the Windows version tests
//   util_probe SETUP.EXE drive X:\      get_drive_info and path_is_ok on one drive
//   util_probe SETUP.EXE dbcs DIR       the path checks on double-byte names, creating below DIR
// The end-to-end suites run it under the Windows versions and code pages they set up.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

typedef int (*FlagFn)();
typedef int (*TextFn)(const char *);
typedef int (*PathIsOkFn)(const char *, int, int);
typedef int (*DriveInfoFn)(const char *, unsigned long *, unsigned long *, unsigned long *);
typedef int (*CreatePathFn)(void *, const char *, int);

HMODULE g_setup = nullptr;

template <class Fn>
Fn find(const char *name) {
  FARPROC proc = GetProcAddress(g_setup, name);
  if (!proc) {
    printf("missing=%s\n", name);
    ExitProcess(3);
  }
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

int versions() {
  const struct {
    const char *label, *symbol;
  } tests[] = {
      {"winnt", "_Z13is_this_winntv"},
      {"win95", "_Z13is_this_win95v"},
      {"win98", "_Z13is_this_win98v"},
      {"win95_osr2", "_Z18is_this_win95_osr2v"},
      {"valid_win32", "_Z21is_this_a_valid_win32v"},
      {"service_pack_3", "_Z22is_this_service_pack_3v"},
      {"japan", "_Z13is_this_japanv"},
      {"administrator", "_Z21is_user_administratorv"},
  };
  for (const auto &test : tests) printf("%s=%d\n", test.label, find<FlagFn>(test.symbol)());
  return 0;
}

int drive(const char *root) {
  unsigned long total = 0, free = 0, used = 0;
  int ok = find<DriveInfoFn>("_Z14get_drive_infoPKcPmS1_S1_")(root, &total, &free, &used);
  printf("drive_type=%u\n", GetDriveTypeA(root));
  printf("drive_info=%d\ntotal=%lu\nfree=%lu\nused=%lu\n", ok, total, free, used);
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%sTuner", root);
  PathIsOkFn path_is_ok = find<PathIsOkFn>("_Z10path_is_okPKcii");
  printf("path_is_ok_strict=%d\npath_is_ok_any_drive=%d\n", path_is_ok(path, 0, 0), path_is_ok(path, 0, 1));
  return 0;
}

// Shift-JIS: 0x83 0x7C is a katakana whose second byte is '|', 0x83 0x5C one whose second
// byte is '\'. Neither second byte may be taken for the character it looks like.
int dbcs(const char *dir) {
  TextFn validate_text = find<TextFn>("_Z13validate_textPKc");
  PathIsOkFn path_is_ok = find<PathIsOkFn>("_Z10path_is_okPKcii");
  CreatePathFn create_path = find<CreatePathFn>("_Z11create_pathP9SetupInfoPKci");
  printf("lead_byte=%d\n", IsDBCSLeadByte(0x83) ? 1 : 0);
  printf("text_bar_trail=%d\n", validate_text("Tuner\x83\x7C"));
  printf("text_real_bar=%d\n", validate_text("Tuner|"));
  char path[MAX_PATH];
  snprintf(path, sizeof path, "%s\\Tuner\x83\x5C", dir);
  printf("path_backslash_trail=%d\n", path_is_ok(path, 0, 0));
  snprintf(path, sizeof path, "%s\\Tuner\\", dir);
  printf("path_real_backslash=%d\n", path_is_ok(path, 0, 0));
  snprintf(path, sizeof path, "%s\\\x83\x5C\\sub", dir);
  printf("create=%d\n", create_path(nullptr, path, 0));
  printf("created_sub=%d\n", GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0);
  // DIR must now hold exactly one folder, named by the whole double-byte character.
  char pattern[MAX_PATH];
  snprintf(pattern, sizeof pattern, "%s\\*", dir);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  int entries = 0, whole_name = 0;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
      ++entries;
      if (strcmp(found.cFileName, "\x83\x5C") == 0) whole_name = 1;
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  printf("entries=%d\nentry_is_whole_character=%d\n", entries, whole_name);
  return 0;
}

// The loader maps an .exe loaded as a library without binding its imports; bind them here,
// as it would for a DLL, so the exported functions can call the system.
bool bind_imports(HMODULE module) {
  BYTE *base = reinterpret_cast<BYTE *>(module);
  IMAGE_NT_HEADERS *nt = reinterpret_cast<IMAGE_NT_HEADERS *>(base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.Size == 0) return true;
  for (IMAGE_IMPORT_DESCRIPTOR *entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress);
       entry->Name; ++entry) {
    HMODULE library = LoadLibraryA(reinterpret_cast<const char *>(base + entry->Name));
    if (!library) return false;
    IMAGE_THUNK_DATA *names = reinterpret_cast<IMAGE_THUNK_DATA *>(
        base + (entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk));
    IMAGE_THUNK_DATA *slots = reinterpret_cast<IMAGE_THUNK_DATA *>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      FARPROC proc;
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
        proc = GetProcAddress(library, MAKEINTRESOURCEA(IMAGE_ORDINAL(names->u1.Ordinal)));
      } else {
        proc = GetProcAddress(library, reinterpret_cast<IMAGE_IMPORT_BY_NAME *>(base + names->u1.AddressOfData)->Name);
      }
      if (!proc) return false;
      DWORD old;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(proc);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: util_probe SETUP.EXE versions|drive ROOT|dbcs DIR\n");
    return 2;
  }
  // Loaded as a library its entry point does not run; these functions need none of its state.
  g_setup = LoadLibraryExA(argv[1], nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (!g_setup) {
    printf("load_failed=%lu\n", GetLastError());
    return 3;
  }
  if (!bind_imports(g_setup)) {
    printf("bind_failed\n");
    return 3;
  }
  if (strcmp(argv[2], "versions") == 0) return versions();
  if (strcmp(argv[2], "drive") == 0 && argc > 3) return drive(argv[3]);
  if (strcmp(argv[2], "dbcs") == 0 && argc > 3) return dbcs(argv[3]);
  return 2;
}

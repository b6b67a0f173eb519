// The private folder: a new folder per run inside the temporary folder, and its removal.
#include "uninstall/private_folder.h"

#include <cstdint>
#include <cstring>

#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "scoped.h"

namespace {

const char kPrefix[] = "zindle-";
const int kAttempts = 64;

// Changes with every call, the time, the process and the machine's counter, so that the name
// tried cannot be told in advance; a clash only means another try.
uint32_t next_name_number() {
  static uint32_t state = 0;
  LARGE_INTEGER counter = {};
  QueryPerformanceCounter(&counter);
  uint32_t x = state ^ GetTickCount() ^ (GetCurrentProcessId() << 16) ^ GetCurrentThreadId() ^
               static_cast<uint32_t>(counter.LowPart) ^ static_cast<uint32_t>(counter.HighPart) ^
               static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&counter));
  x = (x ^ (x >> 16)) * 0x45D9F3Bu;
  x = (x ^ (x >> 16)) * 0x45D9F3Bu;
  x ^= x >> 16;
  state = x + 0x9E3779B9u;
  return x;
}

// A well-known SID laid out as the system reads one, with room for two sub-authorities.
struct KnownSid {
  BYTE revision, count, authority[6];
  DWORD sub[2];
};
const KnownSid kSystemSid = {1, 1, {0, 0, 0, 0, 0, 5}, {18, 0}};
const KnownSid kAdministratorsSid = {1, 2, {0, 0, 0, 0, 0, 5}, {32, 544}};

// The security functions of NT, looked up at run time: the Windows 95 family has none of them.
struct SecurityApi {
  BOOL(WINAPI *open_token)(HANDLE, DWORD, PHANDLE);
  BOOL(WINAPI *token_information)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
  DWORD(WINAPI *sid_length)(PSID);
  BOOL(WINAPI *init_acl)(PACL, DWORD, DWORD);
  BOOL(WINAPI *allow)(PACL, DWORD, DWORD, PSID);
  BOOL(WINAPI *init_descriptor)(PSECURITY_DESCRIPTOR, DWORD);
  BOOL(WINAPI *set_dacl)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);
  BOOL(WINAPI *get_ace)(PACL, DWORD, LPVOID *);
};

template <typename F>
bool look_up(HMODULE module, const char *name, F *out) {
  *out = reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
  return *out != nullptr;
}

bool load_security_api(SecurityApi *api) {
  HMODULE advapi = GetModuleHandleA("advapi32.dll");
  return advapi && look_up(advapi, "OpenProcessToken", &api->open_token) &&
         look_up(advapi, "GetTokenInformation", &api->token_information) &&
         look_up(advapi, "GetLengthSid", &api->sid_length) && look_up(advapi, "InitializeAcl", &api->init_acl) &&
         look_up(advapi, "AddAccessAllowedAce", &api->allow) &&
         look_up(advapi, "InitializeSecurityDescriptor", &api->init_descriptor) &&
         look_up(advapi, "SetSecurityDescriptorDacl", &api->set_dacl) && look_up(advapi, "GetAce", &api->get_ace);
}

// A descriptor that lets only the running account, the administrators and the system in. The
// buffers live in the caller's object.
struct PrivateDescriptor {
  SECURITY_ATTRIBUTES attributes;
  SECURITY_DESCRIPTOR descriptor;
  DWORD user[128];  // TOKEN_USER and the SID it points to
  DWORD acl[128];
};

bool make_private_descriptor(PrivateDescriptor *out) {
  SecurityApi api;
  if (!is_this_winnt() || !load_security_api(&api)) return false;
  HANDLE opened = nullptr;
  if (!api.open_token(GetCurrentProcess(), TOKEN_QUERY, &opened)) return false;
  ScopedHandle token(opened);
  DWORD needed = 0;
  if (!api.token_information(token.get(), TokenUser, out->user, sizeof out->user, &needed)) return false;
  PSID user = reinterpret_cast<TOKEN_USER *>(out->user)->User.Sid;
  PACL acl = reinterpret_cast<PACL>(out->acl);
  PSID system = const_cast<KnownSid *>(&kSystemSid);
  PSID administrators = const_cast<KnownSid *>(&kAdministratorsSid);
  if (!api.init_acl(acl, sizeof out->acl, ACL_REVISION) || !api.allow(acl, ACL_REVISION, GENERIC_ALL, user) ||
      !api.allow(acl, ACL_REVISION, GENERIC_ALL, system) || !api.allow(acl, ACL_REVISION, GENERIC_ALL, administrators) ||
      !api.init_descriptor(&out->descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !api.set_dacl(&out->descriptor, TRUE, acl, FALSE))
    return false;
  // The copies made in the folder carry the same three entries.
  for (DWORD i = 0; i < 3; ++i) {
    void *ace = nullptr;
    if (!api.get_ace(acl, i, &ace)) return false;
    static_cast<ACE_HEADER *>(ace)->AceFlags |= OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  }
  out->attributes.nLength = sizeof out->attributes;
  out->attributes.lpSecurityDescriptor = &out->descriptor;
  out->attributes.bInheritHandle = FALSE;
  return true;
}

int temp_directory(char *out, size_t size) {
  DWORD n = GetTempPathA(static_cast<DWORD>(size), out);
  return n > 0 && n < size;
}

bool is_file(const WIN32_FIND_DATAA &found) { return !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY); }

}  // namespace

int create_private_folder(char *out, size_t size) {
  char temp[MAX_PATH], path[MAX_PATH];
  if (!temp_directory(temp, sizeof temp)) return 0;
  PrivateDescriptor descriptor;
  SECURITY_ATTRIBUTES *attributes = make_private_descriptor(&descriptor) ? &descriptor.attributes : nullptr;
  for (int i = 0; i < kAttempts; ++i) {
    // The temporary folder ends with a backslash.
    if (!format_text(path, sizeof path, "%s%s%08lx", temp, kPrefix, static_cast<unsigned long>(next_name_number()))) {
      SetLastError(ERROR_FILENAME_EXCED_RANGE);
      return 0;
    }
    if (CreateDirectoryA(path, attributes)) return copy_text(out, size, path);
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS && error != ERROR_ACCESS_DENIED) return 0;
  }
  SetLastError(ERROR_ALREADY_EXISTS);
  return 0;
}

int is_private_folder(const char *folder) {
  char temp[MAX_PATH];
  if (!folder || !temp_directory(temp, sizeof temp)) return 0;
  size_t temp_length = strlen(temp), prefix_length = sizeof kPrefix - 1;
  if (strlen(folder) != temp_length + prefix_length + 8) return 0;
  char head[MAX_PATH];
  memcpy(head, folder, temp_length);
  head[temp_length] = 0;
  if (ascii_compare_nocase(head, temp) != 0) return 0;
  const char *name = folder + temp_length;
  if (memcmp(name, kPrefix, prefix_length) != 0) return 0;
  for (const char *c = name + prefix_length; *c; ++c)
    if (!((*c >= '0' && *c <= '9') || (*c >= 'a' && *c <= 'f'))) return 0;
  return 1;
}

DWORD copy_into_folder(const char *source, const char *folder, const char *name) {
  char target[MAX_PATH];
  if (!format_text(target, sizeof target, "%s\\%s", folder, name)) return ERROR_FILENAME_EXCED_RANGE;
  return CopyFileA(source, target, TRUE) ? 0 : GetLastError();
}

void remove_private_folder(const char *folder) {
  char pattern[MAX_PATH], path[MAX_PATH];
  if (!is_private_folder(folder) || !format_text(pattern, sizeof pattern, "%s\\*", folder)) return;
  WIN32_FIND_DATAA found;
  ScopedFind search(pattern, &found);
  if (search.valid()) {
    do {
      if (!is_file(found) || !format_text(path, sizeof path, "%s\\%s", folder, found.cFileName)) continue;
      SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
      if (DeleteFileA(path)) continue;
      log_failure(GetLastError(), "file: %s is deleted at the next restart", path);
      mark_file_for_deletion(path);
    } while (search.next(&found));
  }
  // On NT the restart works through the schedule in order: the files first, then the folder.
  // A program that ran from the folder and has just ended may still hold it as its current
  // directory for a moment; this program's own is not let go of by waiting.
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof current, current);
  bool own = ascii_compare_nocase(current, folder) == 0;
  for (int tries = 0; !RemoveDirectoryA(folder) && GetLastError() == ERROR_SHARING_VIOLATION && !own && tries < 20;
       ++tries)
    Sleep(100);
  if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) {
    log_line("directory: removed %s", folder);
    return;
  }
  log_failure(GetLastError(), "directory: %s is removed at the next restart", folder);
  mark_file_for_deletion(folder);
}

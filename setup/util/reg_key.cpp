// kRegKey: all of setup's registry access except key deletion goes through here.
#include "sdk/reg_key.h"

namespace {

// The registry calls return their error instead of setting it; Open and Create leave it where a
// caller that reports the failure finds it, as for any other system call.
int fail_with(LONG error) {
  SetLastError(static_cast<DWORD>(error));
  return 0;
}

}  // namespace

kRegKey::kRegKey() : key_(nullptr) {}

kRegKey::~kRegKey() { Close(); }

int kRegKey::Open(HKEY parent, const char *subkey) {
  if (key_) return 0;
  HKEY key = nullptr;
  LONG error = RegOpenKeyExA(parent, subkey, 0, KEY_ALL_ACCESS, &key);
  if (error != ERROR_SUCCESS) return fail_with(error);
  key_ = key;
  return 1;
}

int kRegKey::Create(HKEY parent, const char *subkey) {
  if (key_) return 0;
  HKEY key = nullptr;
  DWORD disposition = 0;
  LONG error = RegCreateKeyExA(parent, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                               &disposition);
  if (error != ERROR_SUCCESS) return fail_with(error);
  key_ = key;
  return 1;
}

int kRegKey::Close() {
  if (!key_) return 0;
  RegCloseKey(key_);
  key_ = nullptr;
  return 1;
}

int kRegKey::SetString(const char *name, const char *text) {
  if (!key_ || !text) return 0;
  DWORD bytes = static_cast<DWORD>(lstrlenA(text) + 1);
  return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text), bytes) == ERROR_SUCCESS;
}

int kRegKey::SetDWORD(const char *name, unsigned long number) {
  if (!key_) return 0;
  DWORD data = static_cast<DWORD>(number);
  return RegSetValueExA(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data), 4) == ERROR_SUCCESS;
}

int kRegKey::SetBinary(const char *name, const void *data, unsigned long size) {
  if (!key_) return 0;
  return RegSetValueExA(key_, name, 0, REG_BINARY, static_cast<const BYTE *>(data), static_cast<DWORD>(size)) ==
         ERROR_SUCCESS;
}

int kRegKey::query_type(const char *name, DWORD *type) {
  return RegQueryValueExA(key_, name, nullptr, type, nullptr, nullptr) == ERROR_SUCCESS;
}

// Strings are read through a scratch copy, so a failed or partial read never changes the
// caller's buffer, and the result is always terminated inside the buffer.
int kRegKey::GetString(const char *name, char *buffer, unsigned long capacity) {
  if (!key_ || !buffer || capacity == 0) return 0;
  DWORD type = 0;
  if (!query_type(name, &type)) return 0;
  if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return 0;
  char *scratch = static_cast<char *>(LocalAlloc(LPTR, capacity + 1));
  if (!scratch) return 0;
  DWORD bytes = static_cast<DWORD>(capacity);
  LONG rc = RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE *>(scratch), &bytes);
  int ok = rc == ERROR_SUCCESS && bytes != 0;
  if (ok && scratch[bytes - 1] != 0 && bytes >= capacity) ok = 0;  // no room for a terminator
  if (ok) {
    scratch[bytes] = 0;
    CopyMemory(buffer, scratch, bytes + 1 <= capacity ? bytes + 1 : capacity);
  }
  LocalFree(scratch);
  return ok;
}

int kRegKey::GetDWORD(const char *name, unsigned long *number) {
  if (!key_ || !number) return 0;
  DWORD type = 0;
  if (!query_type(name, &type) || type != REG_DWORD) return 0;
  DWORD data = 0, bytes = 4;
  if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE *>(&data), &bytes) != ERROR_SUCCESS)
    return 0;
  if (bytes == 0) return 0;
  *number = data;
  return 1;
}

int kRegKey::GetBinary(const char *name, void *buffer, unsigned long *size) {
  if (!key_ || !size) return 0;
  DWORD type = 0;
  if (!query_type(name, &type) || type != REG_BINARY) return 0;
  DWORD bytes = static_cast<DWORD>(*size);
  if (RegQueryValueExA(key_, name, nullptr, &type, static_cast<BYTE *>(buffer), &bytes) != ERROR_SUCCESS) return 0;
  *size = bytes;
  return bytes != 0;
}

int kRegKey::Delete(const char *name) {
  if (!key_) return 0;
  return RegDeleteValueA(key_, name) == ERROR_SUCCESS;
}

unsigned long kRegKey::children() {
  if (!key_) return 0;
  DWORD count = 0;
  if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  return count;
}

int kRegKey::child(unsigned long index, char *buffer, unsigned long capacity) {
  if (!key_ || !buffer || capacity == 0) return 0;
  DWORD length = static_cast<DWORD>(capacity);
  FILETIME written;
  return RegEnumKeyExA(key_, static_cast<DWORD>(index), buffer, &length, nullptr, nullptr, nullptr, &written) ==
         ERROR_SUCCESS;
}

unsigned long kRegKey::values() {
  if (!key_) return 0;
  DWORD count = 0;
  if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    return 0;
  return count;
}

int kRegKey::value(unsigned long index, char *buffer, unsigned long capacity) {
  if (!key_ || !buffer || capacity == 0) return 0;
  DWORD length = static_cast<DWORD>(capacity);
  return RegEnumValueA(key_, static_cast<DWORD>(index), buffer, &length, nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

void kRegKey::sethandle(HKEY handle) { key_ = handle; }

HKEY kRegKey::getkey() { return key_; }

kRegKey::operator HKEY() { return key_; }

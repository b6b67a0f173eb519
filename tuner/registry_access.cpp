// The four registry helpers of the tuner: each opens its key for one access and closes it again.
#include "registry_access.h"

#include <cstring>

#include "scoped.h"

namespace {

const REGSAM kWriteAccess = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// Opens the key for writing, creating it when it does not exist. 1 on success.
int open_for_write(HKEY root, const char *subkey, HKEY *key) {
  if (RegOpenKeyExA(root, subkey, 0, kWriteAccess, key) == ERROR_SUCCESS) return 1;
  DWORD disposition = 0;
  return RegCreateKeyExA(root, subkey, 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess, nullptr, key,
                         &disposition) == ERROR_SUCCESS;
}

int write_value(HKEY root, const char *subkey, const char *name, DWORD type, const void *data, DWORD size) {
  HKEY opened = nullptr;
  if (!open_for_write(root, subkey, &opened)) return 0;
  ScopedKey key(opened);
  return RegSetValueExA(key.get(), name, 0, type, static_cast<const BYTE *>(data), size) == ERROR_SUCCESS;
}

}  // namespace

int RegReadString(HKEY root, const char *subkey, const char *name, char *buffer, size_t capacity) {
  if (!buffer || capacity == 0) return 0;
  buffer[0] = '\0';
  if (capacity > 0x7FFFFFFF) capacity = 0x7FFFFFFF;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return 0;
  ScopedKey key(opened);
  DWORD size = static_cast<DWORD>(capacity);
  LONG status = RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE *>(buffer), &size);
  if (status != ERROR_SUCCESS || size == 0 || size > capacity) {
    buffer[0] = '\0';
    return 0;
  }
  if (buffer[size - 1] != '\0') {
    // Stored without its terminator: supply one if there is room, otherwise it does not fit.
    if (size == capacity) {
      buffer[0] = '\0';
      return 0;
    }
    buffer[size] = '\0';
    size += 1;
  }
  return static_cast<int>(size);
}

int RegReadDword(HKEY root, const char *subkey, const char *name, int32_t *value) {
  uint32_t number = 0;
  int result = 0;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
    ScopedKey key(opened);
    BYTE bytes[4] = {0, 0, 0, 0};
    DWORD size = sizeof bytes;
    if (RegQueryValueExA(key.get(), name, nullptr, nullptr, bytes, &size) == ERROR_SUCCESS && size <= sizeof bytes) {
      // Little-endian like REG_DWORD; bytes a short value does not cover stay zero.
      number = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
               static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
      result = 4;
    }
  }
  if (value) *value = static_cast<int32_t>(number);
  return result;
}

int RegWriteString(HKEY root, const char *subkey, const char *name, const char *text) {
  size_t length = std::strlen(text);
  if (length >= 0x7FFFFFFF) return 0;
  return write_value(root, subkey, name, REG_SZ, text, static_cast<DWORD>(length + 1));
}

int RegWriteDword(HKEY root, const char *subkey, const char *name, int32_t value) {
  DWORD number = static_cast<DWORD>(value);
  return write_value(root, subkey, name, REG_DWORD, &number, sizeof number);
}

// Finding the TCP/IP transport among the network transports of the Windows 95 family.
#include "transport.h"

#include <windows.h>

#include <cstring>

#include "registry_access.h"
#include "scoped.h"
#include "text_format.h"

const char kNetTransPath[] = "System\\CurrentControlSet\\Services\\Class\\NetTrans";
const char kMstcpPath[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";

namespace {

// 1 when the transport subkey named name is the TCP/IP one; its full path then goes to path.
int is_tcpip_subkey(const char *name, char *path, size_t capacity) {
  char candidate[512];
  int n = text_format(candidate, sizeof candidate, "%s\\%s", kNetTransPath, name);
  if (n < 0 || static_cast<size_t>(n) >= sizeof candidate) return 0;
  char description[256];
  if (!RegReadString(HKEY_LOCAL_MACHINE, candidate, "DriverDesc", description, sizeof description)) return 0;
  if (std::strcmp(description, "TCP/IP") != 0) return 0;
  if (static_cast<size_t>(n) >= capacity) return 0;
  std::memcpy(path, candidate, static_cast<size_t>(n) + 1);
  return 1;
}

}  // namespace

TransportSearch find_tcpip_transport(char *path, size_t capacity) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNetTransPath, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &opened) !=
      ERROR_SUCCESS)
    return kNoTransportList;
  ScopedKey list(opened);
  DWORD count = 0;
  if (RegQueryInfoKeyA(list.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS)
    count = 0;
  TransportSearch result = kNoTcpTransport;
  for (DWORD index = 0; index < count; ++index) {
    char name[256];
    DWORD length = sizeof name;
    if (RegEnumKeyExA(list.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
    if (is_tcpip_subkey(name, path, capacity)) {
      result = kTcpTransportFound;
      break;
    }
  }
  return result;
}

// TunerSettings: reading and writing the live values in the TCP/IP stack's registry keys.
#include <windows.h>

#include "decimal_text.h"
#include "platform.h"
#include "registry_access.h"
#include "transport.h"
#include "tuner_settings.h"

namespace {

// A value stored as decimal text, or fallback when it cannot be read.
int32_t read_decimal(const char *subkey, const char *name, int32_t fallback) {
  char text[256];
  if (!RegReadString(HKEY_LOCAL_MACHINE, subkey, name, text, sizeof text)) return fallback;
  return parse_decimal(text);
}

int32_t read_number(const char *subkey, const char *name, int32_t fallback) {
  int32_t number = 0;
  return RegReadDword(HKEY_LOCAL_MACHINE, subkey, name, &number) ? number : fallback;
}

void write_decimal(const char *subkey, const char *name, int32_t value) {
  char text[16];
  if (format_decimal(text, sizeof text, value)) RegWriteString(HKEY_LOCAL_MACHINE, subkey, name, text);
}

}  // namespace

int TunerSettings::LoadFromStack() {
  if (!IsWindows95Family()) return 0;
  char transport[512];
  TransportSearch search = find_tcpip_transport(transport, sizeof transport);
  if (search == kNoTransportList) return 0;
  if (search == kTcpTransportFound) MaxMTU = read_decimal(transport, "MaxMTU", NetworkPreset.MaxMTU);
  DefaultRcvWindow = read_number(kMstcpPath, "DefaultRcvWindow", NetworkPreset.DefaultRcvWindow);
  DefaultTTL = read_decimal(kMstcpPath, "DefaultTTL", NetworkPreset.DefaultTTL);
  PMTUDiscovery = read_number(kMstcpPath, "PMTUDiscovery", NetworkPreset.PMTUDiscovery);
  PMTUBlackHoleDetect = read_number(kMstcpPath, "PMTUBlackHoleDetect", NetworkPreset.PMTUBlackHoleDetect);
  return 1;
}

int TunerSettings::StoreToStack() const {
  if (!IsWindows95Family()) return 0;
  char transport[512];
  TransportSearch search = find_tcpip_transport(transport, sizeof transport);
  if (search == kNoTransportList) return 0;
  if (search == kTcpTransportFound) write_decimal(transport, "MaxMTU", MaxMTU);
  RegWriteDword(HKEY_LOCAL_MACHINE, kMstcpPath, "DefaultRcvWindow", DefaultRcvWindow);
  write_decimal(kMstcpPath, "DefaultTTL", DefaultTTL);
  RegWriteDword(HKEY_LOCAL_MACHINE, kMstcpPath, "PMTUDiscovery", PMTUDiscovery);
  RegWriteDword(HKEY_LOCAL_MACHINE, kMstcpPath, "PMTUBlackHoleDetect", PMTUBlackHoleDetect);
  return 1;
}

// Finding the TCP/IP transport among the network transports of the Windows 95 family.
#pragma once

#include <cstddef>

// Registry places of the stack under HKEY_LOCAL_MACHINE.
extern const char kNetTransPath[];  // one subkey per transport, each with its "DriverDesc"
extern const char kMstcpPath[];     // the TCP/IP stack's own values

enum TransportSearch {
  kNoTransportList,  // the NetTrans key cannot be opened: callers read and write nothing at all
  kNoTcpTransport,   // no subkey is described exactly as "TCP/IP"
  kTcpTransportFound // path holds the first such subkey, relative to HKEY_LOCAL_MACHINE
};

// Looks through the subkeys of the NetTrans key in enumeration order for the first whose
// "DriverDesc" is exactly "TCP/IP". path (capacity bytes) is written only when one is found.
TransportSearch find_tcpip_transport(char *path, size_t capacity);

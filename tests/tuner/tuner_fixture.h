// Shared pieces of the tuner tests: the stack's registry keys in HKEY_LOCAL_MACHINE of the test
// prefix, cleared before and after every test, with helpers to lay out transports and read values.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "support/scratch.h"
#include "transport.h"
#include "tuner_state.h"

// One registry value as stored: its type and bytes, or absent.
struct StoredValue {
  bool present = false;
  DWORD type = REG_NONE;
  std::string bytes;

  bool operator==(const StoredValue &other) const {
    return present == other.present && type == other.type && bytes == other.bytes;
  }
};

inline StoredValue stored(HKEY root, const std::string &path, const char *name) {
  StoredValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
  char data[1024];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE *>(data), &size) == ERROR_SUCCESS) {
    value.present = true;
    value.bytes.assign(data, size);
  }
  RegCloseKey(key);
  return value;
}

inline StoredValue text_value(const std::string &text) { return {true, REG_SZ, text + std::string(1, '\0')}; }

inline StoredValue dword_value(uint32_t number) {
  return {true, REG_DWORD, std::string(reinterpret_cast<const char *>(&number), 4)};
}

inline void put(HKEY root, const std::string &path, const char *name, DWORD type, const std::string &bytes) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE *>(bytes.data()),
                                          static_cast<DWORD>(bytes.size())));
  RegCloseKey(key);
}

inline void put(HKEY root, const std::string &path, const char *name, const StoredValue &value) {
  put(root, path, name, value.type, value.bytes);
}

// The live TCP/IP values and the product key, as a test lays them out in HKEY_LOCAL_MACHINE.
class StackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clear();
    load_program_strings(GetModuleHandleA(nullptr));
  }
  void TearDown() override { clear(); }

  static void clear() {
    delete_key_tree(HKEY_LOCAL_MACHINE, kNetTransPath);
    delete_key_tree(HKEY_LOCAL_MACHINE, kMstcpPath);
    delete_key_tree(HKEY_LOCAL_MACHINE, "Software\\Quorvane");
  }

  static std::string transport(const char *subkey) { return std::string(kNetTransPath) + "\\" + subkey; }

  // A transport subkey with an optional description and an optional "MaxMTU" text.
  static void add_transport(const char *subkey, const char *description, const char *mtu) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, transport(subkey).c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    if (description) put(HKEY_LOCAL_MACHINE, transport(subkey), "DriverDesc", text_value(description));
    if (mtu) put(HKEY_LOCAL_MACHINE, transport(subkey), "MaxMTU", text_value(mtu));
  }

  // Several transports, the TCP/IP one third, one without a description, two near misses.
  static void add_usual_transports() {
    add_transport("0000", "NetBEUI", "1400");
    add_transport("0001", nullptr, "1000");
    add_transport("0002", "TCP/IP", "1492");
    add_transport("0003", "tcp/ip", "999");
    add_transport("0004", "TCP/IP ", "998");
  }

  static void set_mstcp(const char *name, const StoredValue &value) { put(HKEY_LOCAL_MACHINE, kMstcpPath, name, value); }
  static StoredValue mstcp(const char *name) { return stored(HKEY_LOCAL_MACHINE, kMstcpPath, name); }

  // Live values 1492 (in 0002), 8760, 128, 1, 0, stored with the types the stack uses.
  static void add_usual_stack() {
    add_usual_transports();
    set_mstcp("DefaultRcvWindow", dword_value(8760));
    set_mstcp("DefaultTTL", text_value("128"));
    set_mstcp("PMTUDiscovery", dword_value(1));
    set_mstcp("PMTUBlackHoleDetect", dword_value(0));
  }

  static void set_product(const char *name, const StoredValue &value) {
    put(HKEY_LOCAL_MACHINE, g_product_key, name, value);
  }
  static StoredValue product(const char *name) { return stored(HKEY_LOCAL_MACHINE, g_product_key, name); }

  // Everything the tuner may write in the stack's keys, for before/after comparisons.
  struct StackState {
    StoredValue mtu[5], rcv, ttl, pmtu, blackhole;
    bool operator==(const StackState &o) const {
      for (int i = 0; i < 5; ++i)
        if (!(mtu[i] == o.mtu[i])) return false;
      return rcv == o.rcv && ttl == o.ttl && pmtu == o.pmtu && blackhole == o.blackhole;
    }
  };
  static StackState stack_state() {
    StackState state;
    const char *subkeys[5] = {"0000", "0001", "0002", "0003", "0004"};
    for (int i = 0; i < 5; ++i) state.mtu[i] = stored(HKEY_LOCAL_MACHINE, transport(subkeys[i]), "MaxMTU");
    state.rcv = mstcp("DefaultRcvWindow");
    state.ttl = mstcp("DefaultTTL");
    state.pmtu = mstcp("PMTUDiscovery");
    state.blackhole = mstcp("PMTUBlackHoleDetect");
    return state;
  }
};

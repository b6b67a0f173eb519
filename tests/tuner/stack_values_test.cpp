// Reading and writing the live TCP/IP values in a prepared stack registry.
#include <gtest/gtest.h>

#include "tuner_fixture.h"
#include "tuner_settings.h"

namespace {

using StackValuesTest = StackTest;

void expect_values(const TunerSettings &s, int32_t mtu, int32_t window, int32_t ttl, int32_t discovery,
                   int32_t blackhole) {
  EXPECT_EQ(mtu, s.MaxMTU);
  EXPECT_EQ(window, s.DefaultRcvWindow);
  EXPECT_EQ(ttl, s.DefaultTTL);
  EXPECT_EQ(discovery, s.PMTUDiscovery);
  EXPECT_EQ(blackhole, s.PMTUBlackHoleDetect);
}

void set_values(TunerSettings &s, int32_t mtu, int32_t window, int32_t ttl, int32_t discovery, int32_t blackhole) {
  s.MaxMTU = mtu;
  s.DefaultRcvWindow = window;
  s.DefaultTTL = ttl;
  s.PMTUDiscovery = discovery;
  s.PMTUBlackHoleDetect = blackhole;
}

TEST_F(StackValuesTest, ConstructorReadsOnlyTheExactTcpTransport) {
  add_usual_stack();
  TunerSettings settings;
  expect_values(settings, 1492, 8760, 128, 1, 0);
}

TEST_F(StackValuesTest, StoreWritesEachValueWithItsTypeIntoTheTcpTransportOnly) {
  add_usual_stack();
  StackState before = stack_state();
  TunerSettings settings;
  set_values(settings, 576, 2144, 64, 0, 1);
  EXPECT_EQ(1, settings.StoreToStack());

  StackState after = stack_state();
  EXPECT_EQ(text_value("576"), after.mtu[2]);
  for (int i : {0, 1, 3, 4}) EXPECT_EQ(before.mtu[i], after.mtu[i]) << "transport " << i;
  EXPECT_EQ(dword_value(2144), after.rcv);
  EXPECT_EQ(text_value("64"), after.ttl);
  EXPECT_EQ(dword_value(0), after.pmtu);
  EXPECT_EQ(dword_value(1), after.blackhole);

  TunerSettings again;
  expect_values(again, 576, 2144, 64, 0, 1);
}

TEST_F(StackValuesTest, OnlyTheFirstOfTwoTcpTransportsIsUsed) {
  add_transport("0001", "NetBEUI", "1400");
  add_transport("0002", "TCP/IP", "1200");
  add_transport("0005", "TCP/IP", "1300");
  TunerSettings settings;
  EXPECT_EQ(1200, settings.MaxMTU);
  settings.MaxMTU = 576;
  settings.StoreToStack();
  EXPECT_EQ(text_value("576"), stored(HKEY_LOCAL_MACHINE, transport("0002"), "MaxMTU"));
  EXPECT_EQ(text_value("1300"), stored(HKEY_LOCAL_MACHINE, transport("0005"), "MaxMTU"));
}

TEST_F(StackValuesTest, WithoutTcpTransportNoMtuIsReadOrWritten) {
  add_transport("0000", "NetBEUI", "1400");
  add_transport("0001", nullptr, "1000");
  add_transport("0003", "tcp/ip", "999");
  add_transport("0004", "TCP/IP ", "998");
  StackState before = stack_state();
  TunerSettings settings;
  settings.MaxMTU = 777;
  EXPECT_EQ(1, settings.LoadFromStack());
  expect_values(settings, 777, 5840, 32, 1, 0);  // MTU kept, the rest from the fallbacks

  set_values(settings, 576, 2144, 64, 1, 0);
  EXPECT_EQ(1, settings.StoreToStack());
  StackState after = stack_state();
  for (int i = 0; i < 5; ++i) EXPECT_EQ(before.mtu[i], after.mtu[i]) << "transport " << i;
  EXPECT_EQ(dword_value(2144), after.rcv);
  EXPECT_EQ(text_value("64"), after.ttl);
}

TEST_F(StackValuesTest, MissingValuesTakeTheNetworkFallbacks) {
  add_transport("0000", "TCP/IP", nullptr);
  set_mstcp("DefaultRcvWindow", text_value("8192"));  // five bytes: does not fit a number
  set_mstcp("PMTUBlackHoleDetect", dword_value(1));
  TunerSettings settings;
  expect_values(settings, 1500, 5840, 32, 1, 1);
  settings.StoreToStack();
  EXPECT_EQ(dword_value(5840), mstcp("DefaultRcvWindow"));
  EXPECT_EQ(text_value("1500"), stored(HKEY_LOCAL_MACHINE, transport("0000"), "MaxMTU"));
}

TEST_F(StackValuesTest, MtuPresentTtlMissingGives32) {
  add_transport("0000", "TCP/IP", "1400");
  set_mstcp("DefaultRcvWindow", dword_value(4096));
  set_mstcp("PMTUDiscovery", dword_value(0));
  TunerSettings settings;
  expect_values(settings, 1400, 4096, 32, 0, 0);
}

TEST_F(StackValuesTest, WithoutTransportListNothingIsReadOrWritten) {
  set_mstcp("DefaultRcvWindow", dword_value(4096));
  set_mstcp("DefaultTTL", text_value("100"));
  TunerSettings settings;  // start values stay
  expect_values(settings, 1500, 8192, 32, 1, 0);
  EXPECT_EQ(0, settings.LoadFromStack());
  set_values(settings, 576, 2144, 64, 1, 0);
  EXPECT_EQ(0, settings.StoreToStack());
  EXPECT_EQ(dword_value(4096), mstcp("DefaultRcvWindow"));
  EXPECT_EQ(text_value("100"), mstcp("DefaultTTL"));
  EXPECT_FALSE(mstcp("PMTUDiscovery").present);
}

TEST_F(StackValuesTest, StoreCreatesTheStackKeyWhenMissing) {
  add_transport("0000", "TCP/IP", "1500");
  TunerSettings settings;
  set_values(settings, 1500, 5840, 32, 1, 0);
  EXPECT_EQ(1, settings.StoreToStack());
  EXPECT_EQ(dword_value(5840), mstcp("DefaultRcvWindow"));
  EXPECT_EQ(text_value("32"), mstcp("DefaultTTL"));
  EXPECT_EQ(dword_value(1), mstcp("PMTUDiscovery"));
  EXPECT_EQ(dword_value(0), mstcp("PMTUBlackHoleDetect"));
}

TEST_F(StackValuesTest, PresetsReplaceAllFiveValues) {
  TunerSettings settings;
  set_values(settings, 1, 2, 3, 4, 5);
  settings.ApplyModemPreset();
  expect_values(settings, 576, 2144, 64, 1, 0);
  settings.ApplyNetworkPreset();
  expect_values(settings, 1500, 5840, 32, 1, 0);
  for (const TunerValues *preset : {&ModemPreset, &NetworkPreset})
    EXPECT_EQ(4 * (preset->MaxMTU - 40), preset->DefaultRcvWindow);
}

}  // namespace

// The values of the first start in the product key: saved once, taken back slot by slot.
#include <gtest/gtest.h>

#include "originals.h"
#include "tuner_fixture.h"
#include "tuner_settings.h"

namespace {

using OriginalsTest = StackTest;

TunerSettings with_values(int32_t mtu, int32_t window, int32_t ttl, int32_t discovery, int32_t blackhole) {
  TunerSettings s;
  s.MaxMTU = mtu;
  s.DefaultRcvWindow = window;
  s.DefaultTTL = ttl;
  s.PMTUDiscovery = discovery;
  s.PMTUBlackHoleDetect = blackhole;
  return s;
}

TEST_F(OriginalsTest, FirstSaveWritesAllSlotsOnceOnly) {
  ASSERT_STREQ("Software\\Quorvane\\Tarnell", g_product_key);
  SaveOriginals(with_values(1492, 8760, 128, 1, 0));
  EXPECT_EQ(dword_value(1), product("Installed"));
  EXPECT_EQ(dword_value(1492), product("Parm1"));
  EXPECT_EQ(dword_value(8760), product("Parm2"));
  EXPECT_EQ(dword_value(128), product("Parm3"));
  EXPECT_EQ(dword_value(1), product("Parm4"));
  EXPECT_EQ(dword_value(0), product("Parm5"));

  SaveOriginals(with_values(576, 2144, 64, 0, 1));
  EXPECT_EQ(dword_value(1492), product("Parm1"));
  EXPECT_EQ(dword_value(0), product("Parm5"));
}

TEST_F(OriginalsTest, InstalledOtherThanOneSavesAgain) {
  for (uint32_t installed : {0u, 2u}) {
    set_product("Installed", dword_value(installed));
    set_product("Parm1", dword_value(9));
    SaveOriginals(with_values(576, 2144, 64, 0, 1));
    EXPECT_EQ(dword_value(576), product("Parm1"));
    EXPECT_EQ(dword_value(1), product("Installed"));
  }
}

TEST_F(OriginalsTest, MissingOrMinusOneSlotsKeepTheLiveField) {
  set_product("Parm1", dword_value(1400));
  // Parm2 missing
  set_product("Parm3", dword_value(0xFFFFFFFFu));
  set_product("Parm4", dword_value(0));
  set_product("Parm5", text_value("1"));  // two bytes, read zero-extended as 0x0031
  TunerSettings s = with_values(576, 2144, 64, 1, 0);
  s.LoadOriginals();
  EXPECT_EQ(1400, s.MaxMTU);
  EXPECT_EQ(2144, s.DefaultRcvWindow);
  EXPECT_EQ(64, s.DefaultTTL);
  EXPECT_EQ(0, s.PMTUDiscovery);
  EXPECT_EQ(0x31, s.PMTUBlackHoleDetect);
}

}  // namespace

// Range checks on the values about to be written from the dialog.
#include <gtest/gtest.h>

#include "resource.h"
#include "tuner_settings.h"
#include "value_check.h"

namespace {

TEST(ValueCheck, RefusesValuesOutsideTheirMeaning) {
  const struct {
    const char *label;
    int32_t mtu, window, ttl, discovery, blackhole;
    unsigned message;
    int control;
  } cases[] = {
      {"modem preset", 576, 2144, 64, 1, 0, 0, 0},
      {"smallest", 1, 0, 1, 0, 0, 0, 0},
      {"largest", 65535, 99999, 255, 1, 1, 0, 0},
      {"mtu 0", 0, 2144, 64, 1, 0, IDS_BAD_MTU, IDC_MAX_MTU},
      {"mtu 65536", 65536, 2144, 64, 1, 0, IDS_BAD_MTU, IDC_MAX_MTU},
      {"mtu negative", -576, 2144, 64, 1, 0, IDS_BAD_MTU, IDC_MAX_MTU},
      {"ttl 0", 576, 2144, 0, 1, 0, IDS_BAD_TTL, IDC_TTL},
      {"ttl 256", 576, 2144, 256, 1, 0, IDS_BAD_TTL, IDC_TTL},
      {"discovery 2", 576, 2144, 64, 2, 0, IDS_BAD_FLAG, IDC_PMTU_DISCOVERY},
      {"blackhole -1", 576, 2144, 64, 1, -1, IDS_BAD_FLAG, IDC_BLACKHOLE_DETECT},
      {"first fault wins", 0, 2144, 0, 1, 0, IDS_BAD_MTU, IDC_MAX_MTU},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.label);
    TunerSettings settings;
    settings.MaxMTU = c.mtu;
    settings.DefaultRcvWindow = c.window;
    settings.DefaultTTL = c.ttl;
    settings.PMTUDiscovery = c.discovery;
    settings.PMTUBlackHoleDetect = c.blackhole;
    int control = 0;
    EXPECT_EQ(c.message, check_values(settings, &control));
    EXPECT_EQ(c.control, control);
    EXPECT_EQ(c.message, check_values(settings, nullptr));
  }
}

}  // namespace

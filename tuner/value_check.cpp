// Range checks for values typed into the advanced fields before they reach the stack.
#include "value_check.h"

#include "resource.h"
#include "tuner_settings.h"

namespace {

bool within(int32_t value, int32_t low, int32_t high) { return value >= low && value <= high; }

unsigned refuse(int *control, int id, unsigned message) {
  if (control) *control = id;
  return message;
}

}  // namespace

unsigned check_values(const TunerSettings &settings, int *control) {
  if (!within(settings.MaxMTU, 1, 65535)) return refuse(control, IDC_MAX_MTU, IDS_BAD_MTU);
  if (!within(settings.DefaultTTL, 1, 255)) return refuse(control, IDC_TTL, IDS_BAD_TTL);
  if (!within(settings.PMTUDiscovery, 0, 1)) return refuse(control, IDC_PMTU_DISCOVERY, IDS_BAD_FLAG);
  if (!within(settings.PMTUBlackHoleDetect, 0, 1)) return refuse(control, IDC_BLACKHOLE_DETECT, IDS_BAD_FLAG);
  return 0;
}

// The values found on the first start, kept in the product key: saving them and taking them back.
#include "originals.h"

#include <windows.h>

#include "registry_access.h"
#include "text_format.h"
#include "tuner_settings.h"
#include "tuner_state.h"

namespace {

const int32_t kAbsent = -1;

// Slot n (1 to 5) of the saved values; kAbsent when it cannot be read.
int32_t read_original(int n) {
  char name[16];
  text_format(name, sizeof name, "Parm%i", n);
  int32_t value = 0;
  return RegReadDword(HKEY_LOCAL_MACHINE, g_product_key, name, &value) ? value : kAbsent;
}

void take(int32_t *field, int32_t slot) {
  if (slot != kAbsent) *field = slot;
}

}  // namespace

void SaveOriginals(const TunerSettings &settings) {
  int32_t installed = 0;
  RegReadDword(HKEY_LOCAL_MACHINE, g_product_key, "Installed", &installed);
  if (installed == 1) return;
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Parm1", settings.MaxMTU);
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Parm2", settings.DefaultRcvWindow);
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Parm3", settings.DefaultTTL);
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Parm4", settings.PMTUDiscovery);
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Parm5", settings.PMTUBlackHoleDetect);
  RegWriteDword(HKEY_LOCAL_MACHINE, g_product_key, "Installed", 1);
}

void TunerSettings::LoadOriginals() {
  int32_t slots[5];
  for (int n = 1; n <= 5; ++n) slots[n - 1] = read_original(n);
  take(&MaxMTU, slots[0]);
  take(&DefaultRcvWindow, slots[1]);
  take(&DefaultTTL, slots[2]);
  take(&PMTUDiscovery, slots[3]);
  take(&PMTUBlackHoleDetect, slots[4]);
}

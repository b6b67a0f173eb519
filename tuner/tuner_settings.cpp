// TunerSettings: start values and the two presets.
#include "tuner_settings.h"

#include <cstdlib>

#include "platform.h"

const TunerValues ModemPreset = {576, 2144, 64, 1, 0};
const TunerValues NetworkPreset = {1500, 5840, 32, 1, 0};

TunerSettings::TunerSettings()
    : MaxMTU(1500), DefaultRcvWindow(8192), DefaultTTL(32), PMTUDiscovery(1), PMTUBlackHoleDetect(0) {
  if (IsWindows95Family()) LoadFromStack();
}

void *TunerSettings::operator new(size_t size) noexcept { return std::malloc(size); }

void TunerSettings::operator delete(void *record) noexcept { std::free(record); }

void TunerSettings::ApplyModemPreset() {
  if (IsWindows95Family()) apply(ModemPreset);
}

void TunerSettings::ApplyNetworkPreset() {
  if (IsWindows95Family()) apply(NetworkPreset);
}

void TunerSettings::apply(const TunerValues &preset) {
  MaxMTU = preset.MaxMTU;
  DefaultRcvWindow = preset.DefaultRcvWindow;
  DefaultTTL = preset.DefaultTTL;
  PMTUDiscovery = preset.PMTUDiscovery;
  PMTUBlackHoleDetect = preset.PMTUBlackHoleDetect;
}

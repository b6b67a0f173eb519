// TunerSettings: the five TCP/IP values of the stack while they are shown and edited.
#pragma once

#include <cstddef>
#include <cstdint>

// The five values in field order, for presets.
struct TunerValues {
  int32_t MaxMTU;
  int32_t DefaultRcvWindow;
  int32_t DefaultTTL;
  int32_t PMTUDiscovery;
  int32_t PMTUBlackHoleDetect;
};

extern const TunerValues ModemPreset;    // 576, 2144, 64, 1, 0
extern const TunerValues NetworkPreset;  // 1500, 5840, 32, 1, 0; also the fallbacks of LoadFromStack

class TunerSettings {
 public:
  // Start values, then the live values of the stack on the Windows 95 family.
  TunerSettings();

  // Reads the live values from the stack's registry keys, using fallbacks for missing ones.
  // 1 if it read; 0 (record unchanged) off the Windows 95 family or without the NetTrans key.
  int LoadFromStack();
  // Writes the five values to the stack's registry keys. 1 if it wrote; 0 if it did nothing
  // (off the Windows 95 family or without the NetTrans key).
  int StoreToStack() const;
  // Takes the values saved on the first start ("Parm1" to "Parm5" of the product key); a value
  // that is missing or stored as -1 leaves its field as it is.
  void LoadOriginals();

  // Copy a preset into all five fields; only on the Windows 95 family.
  void ApplyModemPreset();
  void ApplyNetworkPreset();

  // The record comes straight from the heap: new yields null when memory is short (the operator
  // is noexcept, so the new-expression checks for null), and no exception support is needed.
  static void *operator new(size_t size) noexcept;
  static void operator delete(void *record) noexcept;

  int32_t MaxMTU;
  int32_t DefaultRcvWindow;
  int32_t DefaultTTL;
  int32_t PMTUDiscovery;
  int32_t PMTUBlackHoleDetect;

 private:
  void apply(const TunerValues &preset);
};


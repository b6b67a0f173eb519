// FreshInfo: a SetupInfo built in zeroed storage, as setup's one static object is, for tests
// that hand utilities a SetupInfo of their own.
#pragma once

#include <new>

#include "sdk/setup_info.h"

class FreshInfo {
 public:
  FreshInfo() : info_(new (storage_) SetupInfo()) {}
  ~FreshInfo() { info_->~SetupInfo(); }
  FreshInfo(const FreshInfo &) = delete;
  FreshInfo &operator=(const FreshInfo &) = delete;
  SetupInfo *operator->() { return info_; }
  SetupInfo *get() { return info_; }

 private:
  alignas(SetupInfo) unsigned char storage_[sizeof(SetupInfo)] = {};
  SetupInfo *info_;
};

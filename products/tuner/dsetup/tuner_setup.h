// TunerSetup: the Skellan tuner's hooks into setup.
#pragma once

#include "setup_sdk.h"

class TunerSetup : public SetupDispatchTable {
 public:
  // Refuses to install anywhere but on Windows 95, 98 or NT.
  int SetupCreate(SetupInfo *info, void *reserved) override;
  // The default summary, then the space the product needs and the space the target drive has.
  int BeforeReadyDialog(SetupInfo *info, void *reserved) override;
  // Lets the user stop, retry (for a file lying loose beside setup) or go on without the file.
  int CopyFileFailed(SetupInfo *info, String source, String destination, void *reserved) override;
  // Has the installed tuner put the original TCP/IP settings back before its files go.
  int UninstallCreate(SetupInfo *info, void *reserved) override;
};

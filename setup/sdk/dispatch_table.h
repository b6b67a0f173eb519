// SetupDispatchTable: the hooks a product's hook library supplies. A hook library derives from
// this class, overrides the hooks it needs and returns its object from SetupDllEntryPoint.
// Results: see setup_results.h (0 go on, 1 cancelled, -1 failure, 2 or 3 from a Before hook skip its dialog).
#pragma once

#include "setup_api.h"
#include "setup_results.h"
#include "setup_info.h"
#include "setup_string.h"

class SETUP_API SetupDispatchTable {
 public:
  SetupDispatchTable();
  ~SetupDispatchTable();

  virtual int SetupCreate(SetupInfo *info, void *reserved);
  virtual int SetupDestroy(SetupInfo *info, void *reserved);
  virtual int BeforeIntroDialog(SetupInfo *info, void *reserved);
  virtual int AfterIntroDialog(SetupInfo *info, void *reserved);
  virtual int BeforeEulaDialog(SetupInfo *info, void *reserved);
  virtual int AfterEulaDialog(SetupInfo *info, void *reserved);
  virtual int BeforePathDialog(SetupInfo *info, void *reserved);
  virtual int AfterPathDialog(SetupInfo *info, void *reserved);
  virtual int BeforeStartDialog(SetupInfo *info, void *reserved);
  virtual int AfterStartDialog(SetupInfo *info, void *reserved);
  virtual int CopyBefore(SetupInfo *info, void *reserved);
  virtual int CopyAfter(SetupInfo *info, void *reserved);
  virtual int CopyFileBefore(SetupInfo *info, String source, String destination, void *reserved);
  virtual int CopyFileFailed(SetupInfo *info, String source, String destination, void *reserved);
  virtual int CopyFileAfter(SetupInfo *info, String source, String destination, void *reserved);
  virtual int BeforeReadyDialog(SetupInfo *info, void *reserved);
  virtual int AfterReadyDialog(SetupInfo *info, void *reserved);
  virtual int BeforeCompleteDialog(SetupInfo *info, void *reserved);
  virtual int AfterCompleteDialog(SetupInfo *info, void *reserved);
  virtual int UninstallCreate(SetupInfo *info, void *reserved);
  virtual int UninstallDestroy(SetupInfo *info, void *reserved);
  virtual int BeforePreviousDialog(SetupInfo *info, void *reserved);
  virtual int AfterPreviousDialog(SetupInfo *info, void *reserved);
  virtual int BeforeVerifyUninstallDialog(SetupInfo *info, void *reserved);
  virtual int AfterVerifyUninstallDialog(SetupInfo *info, void *reserved);
  virtual int BeforeUninstallDialog(SetupInfo *info, void *reserved);
  virtual int AfterUninstallDialog(SetupInfo *info, void *reserved);
};

// The hook library's one entry point, exported by name with C linkage:
//   extern "C" __declspec(dllexport) SetupDispatchTable *SetupDllEntryPoint(SetupInfo *info, int reserved);
typedef SetupDispatchTable *(*SetupDllEntryPointFn)(SetupInfo *info, int reserved);

// SetupDispatchTable defaults: every hook goes on (0); BeforeReadyDialog also fills the
// Ready page's summary with the install directory and the Start-menu folder.
#include "sdk/dispatch_table.h"

#include "res/resource.h"
#include "sdk/utilities.h"


SetupDispatchTable::SetupDispatchTable() {}
SetupDispatchTable::~SetupDispatchTable() {}

int SetupDispatchTable::SetupCreate(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::SetupDestroy(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforeIntroDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterIntroDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforeEulaDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterEulaDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforePathDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterPathDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforeStartDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterStartDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::CopyBefore(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::CopyAfter(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::CopyFileBefore(SetupInfo *, String, String, void *) { return 0; }
int SetupDispatchTable::CopyFileFailed(SetupInfo *, String, String, void *) { return 0; }
int SetupDispatchTable::CopyFileAfter(SetupInfo *, String, String, void *) { return 0; }

int SetupDispatchTable::BeforeReadyDialog(SetupInfo *info, void *) {
  char label[260];
  label[0] = 0;
  if (!load_res_string(info, IDS_READY_DIRECTORY, label, sizeof label)) label[0] = 0;
  info->ready_text[0] = label;
  info->ready_text[1] = info->install_dir;
  label[0] = 0;
  if (!load_res_string(info, IDS_READY_START_MENU, label, sizeof label)) label[0] = 0;
  info->ready_text[2] = label;
  info->ready_text[3] = info->start_menu_folder;
  for (int i = 4; i < 8; ++i) info->ready_text[i] = "";
  return 0;
}

int SetupDispatchTable::AfterReadyDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforeCompleteDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterCompleteDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::UninstallCreate(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::UninstallDestroy(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforePreviousDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterPreviousDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforeVerifyUninstallDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterVerifyUninstallDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::BeforeUninstallDialog(SetupInfo *, void *) { return 0; }
int SetupDispatchTable::AfterUninstallDialog(SetupInfo *, void *) { return 0; }

// The install sequence: each step in its fixed place; the first stop value ends the run. A step
// that failed (rather than a hook that stopped it) is reported to the user once, here; then what
// the run had changed is undone and the user told so.
#include "install/install_sequence.h"

#include "install/associations.h"
#include "install/directories.h"
#include "install/file_copy.h"
#include "install/package.h"
#include "install/progress_window.h"
#include "install/registry_entries.h"
#include "install/run_scope.h"
#include "install/start_menu.h"
#include "install/undo_message.h"
#include "install/uninstall_record.h"
#include "install/version_stamp.h"
#include "res/resource.h"
#include "sdk/utilities.h"
#include "util/action_log.h"
#include "util/failure_message.h"
#include "util/step_failure.h"

namespace {

// One run of the steps: the journal of its changes, the writer that makes them, and the copy
// stage's request to close the main window, kept until the user has been told.
struct StepRun {
  SetupDispatchTable *table;
  ChangeWriter *writer;
  bool close_main_window;
};

// package.dat is written with the C library, which leaves the system's error code of the write
// or create that failed; one left over from an earlier call must not be shown instead.
int package_step(StepRun *run) {
  SetLastError(0);
  if (write_package(run->writer) != 0) return 0;
  DWORD error = GetLastError();
  String path = run->writer->info()->install_dir;
  path.append("\\package.dat");
  return note_step_failure(IDS_FILE_NOT_WRITTEN, path.c_str(), error);
}

int directories_step(StepRun *run) { return create_directories(run->writer); }
int copy_step(StepRun *run) { return copy_files(run->writer, run->table, &run->close_main_window); }
int start_menu_step(StepRun *run) { return create_start_menu_entries(run->writer); }
int associations_step(StepRun *run) { return write_associations(run->writer); }
int version_stamp_step(StepRun *run) { return write_version_stamp(run->writer); }
int registry_step(StepRun *run) { return apply_registry_entries(run->writer); }
int record_step(StepRun *run) { return write_uninstall_record(run->writer); }

struct Step {
  const char *name;
  int (*run)(StepRun *run);
};

// The Start-menu, association and version-stamp steps never stop the run.
const Step kSteps[] = {
    {"directories", directories_step},     {"copy files", copy_step},
    {"start menu", start_menu_step},       {"associations", associations_step},
    {"version stamp", version_stamp_step}, {"package", package_step},
    {"registry entries", registry_step},   {"uninstall record", record_step},
};

int run_steps(StepRun *run) {
  HWND main_window = run->writer->info()->main_window;
  if (main_window) UpdateWindow(main_window);
  for (const Step &step : kSteps) {
    log_line("step: %s: start", step.name);
    int r = step.run(run);
    log_line("step: %s: end (result %d)", step.name, r);
    if (r != 0) return r;
  }
  return 0;
}

// The box is owned by the progress window while it is open, else by the main window.
HWND failure_owner(SetupInfo *info) {
  HWND owner = progress_window();
  if (!owner) owner = info->main_window;
  return owner && IsWindow(owner) ? owner : nullptr;
}

}  // namespace

int run_install_steps(SetupInfo *info, SetupDispatchTable *table) {
  clear_step_failure();
  RollbackJournal journal;
  RunningJournal running(&journal);
  {
    // What this run could make, listed before anything is made: the journal checks a journal left
    // on disk by a killed run against it.
    JournalScope scope;
    if (!list_run_scope(info, &scope))
      log_line("journal: memory too short to list all this product could make; an earlier run's journal is undone "
               "only within what was listed");
    journal.begin(&scope);
  }
  ChangeWriter writer(info, &journal);
  StepRun run = {table, &writer, false};
  int r = run_steps(&run);
  if (r == 0) {
    journal.commit();
    return 0;
  }
  StepFailure failure;
  if (take_step_failure(&failure))
    show_failure(info, failure_owner(info), failure.message_id, failure.subject, failure.error);
  UndoReport report;
  journal.undo(&report);
  if (report.changes) show_undo_message(info, failure_owner(info), report);
  // The copy stage's request, kept until now: closing the main window ends its message loop.
  if (run.close_main_window && info->main_window) SendMessageA(info->main_window, WM_CLOSE, 0, 0);
  return r;
}

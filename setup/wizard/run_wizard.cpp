// run_wizard: the pages from Welcome to Complete, each between its Before and After hook,
// with Back and Cancel, and the install steps between Ready and Complete.
#include "res/resource.h"
#include "util/action_log.h"
#include "util/run_options.h"
#include "wizard/page_answers.h"
#include "wizard/pages.h"
#include "wizard/wizard.h"

namespace {

typedef int (SetupDispatchTable::*Hook)(SetupInfo *, void *);

struct Page {
  WORD id;
  DLGPROC procedure;
  Hook before;
  Hook after;
  const char *after_name;
  bool can_stay;  // a page with input, which its After hook may keep showing
};

const Page kPages[] = {
    {IDD_WELCOME, welcome_dialog_proc, &SetupDispatchTable::BeforeIntroDialog, &SetupDispatchTable::AfterIntroDialog,
     "AfterIntroDialog", false},
    {IDD_LICENSE, license_dialog_proc, &SetupDispatchTable::BeforeEulaDialog, &SetupDispatchTable::AfterEulaDialog,
     "AfterEulaDialog", false},
    {IDD_DIRECTORY, directory_dialog_proc, &SetupDispatchTable::BeforePathDialog, &SetupDispatchTable::AfterPathDialog,
     "AfterPathDialog", true},
    {IDD_START_MENU, start_menu_dialog_proc, &SetupDispatchTable::BeforeStartDialog,
     &SetupDispatchTable::AfterStartDialog, "AfterStartDialog", true},
    {IDD_READY, ready_dialog_proc, &SetupDispatchTable::BeforeReadyDialog, &SetupDispatchTable::AfterReadyDialog,
     "AfterReadyDialog", false},
};

const Page kCompletePage = {IDD_COMPLETE, complete_dialog_proc, &SetupDispatchTable::BeforeCompleteDialog,
                            &SetupDispatchTable::AfterCompleteDialog, "AfterCompleteDialog", false};

// The page's dialog: RESULT_GO_ON when it was answered forward, else what ends the page.
int show_page(SetupInfo *info, const Page &page) {
  int r = run_dialog(info->main_window, page.id, page.procedure, info);
  if (r == RESULT_GO_ON && run_options().silent) r = answer_page_silently(info, page.id);
  log_line("page %u: result %d", page.id, r);
  return r;
}

// The After hook, again after each page shown anew while it keeps the user on a page with input.
// Nobody could type anything else in a silent run: a hook that refuses the page there (back, or
// stay) ends the run as cancelled instead of asking forever.
int after_page(SetupInfo *info, SetupDispatchTable *table, const Page &page, bool shown) {
  for (;;) {
    int r = (table->*page.after)(info, nullptr);
    bool refused = r == RESULT_GO_BACK || (r == RESULT_STAY_ON_PAGE && page.can_stay);
    if (refused && run_options().silent) {
      log_line("hook %s refused page %u in a silent run: the run ends as cancelled", page.after_name, page.id);
      return RESULT_CANCELLED;
    }
    if (r != RESULT_STAY_ON_PAGE || !page.can_stay) return r;
    if (!shown) return RESULT_GO_BACK;  // a skipped page cannot be stayed on: as Back from it
    r = show_page(info, page);
    if (r != RESULT_GO_ON) return r;
  }
}

// One page between its hooks: RESULT_GO_ON, RESULT_GO_BACK to return to the page before, or
// the value that stops the wizard.
int run_page(SetupInfo *info, SetupDispatchTable *table, const Page &page) {
  int r = (table->*page.before)(info, nullptr);
  if (r == RESULT_CANCELLED || r == RESULT_FAILED) return r;
  preset_page(info, page.id);
  bool shown = !skips_dialog(r);
  if (shown) {
    r = show_page(info, page);
    if (r != RESULT_GO_ON) return r;
  }
  return after_page(info, table, page, shown);
}

}  // namespace

int run_wizard(SetupInfo *info, SetupDispatchTable *table, InstallSteps install_steps) {
  int r = table->SetupCreate(info, nullptr);
  if (r != RESULT_GO_ON) return r;
  const int count = static_cast<int>(sizeof kPages / sizeof kPages[0]);
  for (int i = 0; i < count;) {
    r = run_page(info, table, kPages[i]);
    if (r == RESULT_GO_BACK) {
      if (i > 0) --i;  // Back on the first page shows it again
      continue;
    }
    if (r != RESULT_GO_ON) return r;
    ++i;
  }
  if (info->main_window) UpdateWindow(info->main_window);
  r = install_steps(info, table);
  if (r != RESULT_GO_ON) return r;
  r = run_page(info, table, kCompletePage);
  if (r != RESULT_GO_ON) return r == RESULT_GO_BACK ? RESULT_FAILED : r;
  return table->SetupDestroy(info, nullptr);
}

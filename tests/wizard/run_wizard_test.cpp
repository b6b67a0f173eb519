// The wizard sequence: which hooks run in which order for each hook result, page button and
// install-step result, and what the wizard returns.
#include <windows.h>

#include <deque>

#include "gtest/gtest.h"
#include "support/message_recorder.h"
#include "util/run_options.h"
#include "wizard/page_harness.h"
#include "wizard/recording_table.h"
#include "wizard/wizard.h"

namespace {

// A whole run in which every page is skipped and every step goes on.
const HookCalls kWholeRun = {"SetupCreate",          "BeforeIntroDialog",   "AfterIntroDialog", "BeforeEulaDialog",
                             "AfterEulaDialog",      "BeforePathDialog",    "AfterPathDialog",  "BeforeStartDialog",
                             "AfterStartDialog",     "BeforeReadyDialog",   "AfterReadyDialog", "install",
                             "BeforeCompleteDialog", "AfterCompleteDialog", "SetupDestroy"};

// kWholeRun up to and including its entry `last`, then `then`.
HookCalls run_until(const std::string &last, const HookCalls &then = {}) {
  HookCalls calls;
  for (const std::string &call : kWholeRun) {
    calls.push_back(call);
    if (call == last) break;
  }
  calls.insert(calls.end(), then.begin(), then.end());
  return calls;
}

// kWholeRun with `inserted` put in after its entry `after`.
HookCalls run_with(const std::string &after, const HookCalls &inserted) {
  HookCalls calls = run_until(after, inserted);
  calls.insert(calls.end(), kWholeRun.begin() + static_cast<long>(calls.size() - inserted.size()), kWholeRun.end());
  return calls;
}

RecordingTable *g_table = nullptr;
int g_install_result = 0;
std::deque<int> g_buttons;  // what the user presses on the pages that show, in order

int fake_install_steps(SetupInfo *, SetupDispatchTable *) {
  g_table->calls.push_back("install");
  return g_install_result;
}

const char *button_name(int id) { return id == IDOK ? "Next" : id == IDC_BACK ? "Back" : "Cancel"; }

// Presses the next button on a page once it is on the screen; a page the case did not expect is
// recorded and cancelled.
void CALLBACK press_next_button(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = page::find_dialog();
  if (!dialog || !IsWindowVisible(dialog)) return;
  int id = IDCANCEL;
  if (g_buttons.empty()) {
    g_table->calls.push_back("unexpected page");
  } else {
    id = g_buttons.front();
    g_buttons.pop_front();
  }
  g_table->calls.push_back(button_name(id));
  page::click(dialog, id);
}

struct WizardCase {
  const char *what;
  HookResults results;
  std::vector<int> buttons;
  int install_result;
  HookCalls expected_calls;
  int expected_result;
};

TEST(RunWizard, HookResultsDecideTheSequence) {
  const HookCalls kBackFromReady = {"Back", "BeforeStartDialog", "AfterStartDialog", "BeforeReadyDialog", "Next"};
  const WizardCase cases[] = {
      {"SetupCreate cancels", {{"SetupCreate", {1}}}, {}, 0, run_until("SetupCreate"), 1},
      {"SetupCreate fails", {{"SetupCreate", {-1}}}, {}, 0, run_until("SetupCreate"), -1},
      {"SetupCreate stops with 9", {{"SetupCreate", {9}}}, {}, 0, run_until("SetupCreate"), 9},
      {"a Before hook fails", {{"BeforeIntroDialog", {-1}}}, {}, 0, run_until("BeforeIntroDialog"), -1},
      {"a Before hook cancels", {{"BeforeStartDialog", {1}}}, {}, 0, run_until("BeforeStartDialog"), 1},
      {"BeforeComplete cancels", {{"BeforeCompleteDialog", {1}}}, {}, 0, run_until("BeforeCompleteDialog"), 1},
      {"an After hook stops with 5", {{"AfterIntroDialog", {5}}}, {}, 0, run_until("AfterIntroDialog"), 5},
      {"an After hook stops with 2", {{"AfterPathDialog", {2}}}, {}, 0, run_until("AfterPathDialog"), 2},
      {"AfterReadyDialog fails", {{"AfterReadyDialog", {-1}}}, {}, 0, run_until("AfterReadyDialog"), -1},
      {"a failed install step", {}, {}, -1, run_until("install"), -1},
      {"an install step stops with 3", {}, {}, 3, run_until("install"), 3},
      {"AfterCompleteDialog skips SetupDestroy", {{"AfterCompleteDialog", {3}}}, {}, 0,
       run_until("AfterCompleteDialog"), 3},
      {"AfterCompleteDialog 4 counts as failure", {{"AfterCompleteDialog", {4}}}, {}, 0,
       run_until("AfterCompleteDialog"), -1},
      {"skips with 2 and 3, SetupDestroy's result", {{"BeforeEulaDialog", {3}}, {"SetupDestroy", {6}}}, {}, 0,
       kWholeRun, 6},
      {"AfterIntroDialog 4 runs Welcome again", {{"AfterIntroDialog", {4, 0}}}, {}, 0,
       run_with("AfterIntroDialog", {"BeforeIntroDialog", "AfterIntroDialog"}), 0},
      {"AfterPathDialog 4 goes back to the licence", {{"AfterPathDialog", {4, 0}}}, {}, 0,
       run_with("AfterPathDialog", {"BeforeEulaDialog", "AfterEulaDialog", "BeforePathDialog", "AfterPathDialog"}), 0},
      {"Back on Ready runs BeforeStartDialog again, not AfterReadyDialog", {{"BeforeReadyDialog", {0}}},
       {IDC_BACK, IDOK}, 0, run_with("BeforeReadyDialog", kBackFromReady), 0},
      {"Before results other than 1, -1, 2, 3 show the page", {{"BeforeReadyDialog", {5, 4}}}, {IDC_BACK, IDOK}, 0,
       run_with("BeforeReadyDialog", kBackFromReady), 0},
      {"a cancelled page stops with 1", {{"BeforeReadyDialog", {0}}}, {IDCANCEL}, 0,
       run_until("BeforeReadyDialog", {"Cancel"}), 1},
      {"AfterPathDialog 5 shows the directory page again, without its Before hook",
       {{"BeforePathDialog", {0}}, {"AfterPathDialog", {5, 5, 0}}}, {IDOK, IDOK, IDOK}, 0,
       run_with("BeforePathDialog", {"Next", "AfterPathDialog", "Next", "AfterPathDialog", "Next"}), 0},
      {"AfterStartDialog 5 shows the Start-menu page again",
       {{"BeforeStartDialog", {0}}, {"AfterStartDialog", {5, 0}}}, {IDOK, IDOK}, 0,
       run_with("BeforeStartDialog", {"Next", "AfterStartDialog", "Next"}), 0},
      {"AfterStartDialog 5 on a skipped page is Back from it", {{"AfterStartDialog", {5, 0}}}, {}, 0,
       run_with("AfterStartDialog", {"BeforePathDialog", "AfterPathDialog", "BeforeStartDialog", "AfterStartDialog"}),
       0},
  };
  MessageRecorder yes(IDYES);  // Cancel asks whether to leave setup
  for (const WizardCase &c : cases) {
    SetupInfo info;
    page::use_own_resources(&info);
    info.install_dir = "C:\\zindle-wizard";  // one the directory page takes
    RecordingTable table(c.results);
    g_table = &table;
    g_install_result = c.install_result;
    g_buttons.assign(c.buttons.begin(), c.buttons.end());
    UINT_PTR driver = SetTimer(nullptr, 0, 50, press_next_button);
    int result = run_wizard(&info, &table, fake_install_steps);
    KillTimer(nullptr, driver);
    EXPECT_EQ(c.expected_calls, table.calls) << c.what;
    EXPECT_EQ(c.expected_result, result) << c.what;
    EXPECT_TRUE(g_buttons.empty()) << c.what << ": a page that should have shown did not";
  }
}

// Nobody can type anything else in a silent run: a hook refusing a page there ends the run as
// cancelled, where the wizard would have gone back or stayed.
TEST(RunWizard, ASilentRunEndsWhenAHookRefusesAPage) {
  const WizardCase cases[] = {
      {"AfterPathDialog 4", {{"AfterPathDialog", {4, 0}}}, {}, 0, run_until("AfterPathDialog"), 1},
      {"AfterPathDialog 5", {{"BeforePathDialog", {0}}, {"AfterPathDialog", {5, 0}}}, {}, 0,
       run_until("AfterPathDialog"), 1},
      {"AfterStartDialog 5", {{"AfterStartDialog", {5, 0}}}, {}, 0, run_until("AfterStartDialog"), 1},
      {"AfterIntroDialog 4", {{"AfterIntroDialog", {4, 0}}}, {}, 0, run_until("AfterIntroDialog"), 1},
      {"AfterIntroDialog 5 still stops with 5", {{"AfterIntroDialog", {5}}}, {}, 0, run_until("AfterIntroDialog"), 5},
  };
  RunOptions silent;
  silent.silent = true;
  set_run_options(silent);
  for (const WizardCase &c : cases) {
    SetupInfo info;
    page::use_own_resources(&info);
    info.install_dir = "C:\\zindle-silent-wizard";
    RecordingTable table(c.results);
    g_table = &table;
    g_install_result = c.install_result;
    EXPECT_EQ(c.expected_result, run_wizard(&info, &table, fake_install_steps)) << c.what;
    EXPECT_EQ(c.expected_calls, table.calls) << c.what;
  }
  set_run_options(RunOptions());
}

}  // namespace

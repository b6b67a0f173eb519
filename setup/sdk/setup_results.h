// The results that hooks return and that setup's pages and steps pass on, and setup's exit statuses.
#pragma once

enum SetupResult {
  RESULT_GO_ON = 0,          // go on with the run
  RESULT_CANCELLED = 1,      // stop: the user cancelled
  RESULT_FAILED = -1,        // stop: something failed
  RESULT_SKIP_DIALOG = 2,    // from a Before...Dialog hook: that dialog is not shown
  RESULT_SKIP_DIALOG_2 = 3,  // the same as RESULT_SKIP_DIALOG
  RESULT_GO_BACK = 4,        // from a wizard page or its After hook: back to the page before
  RESULT_STAY_ON_PAGE = 5,   // from the After hook of the directory or Start-menu page: that page
                             // again, showing what was typed (a silent run ends as cancelled)
};

inline bool skips_dialog(int result) { return result == RESULT_SKIP_DIALOG || result == RESULT_SKIP_DIALOG_2; }

// Exit statuses of setup.exe.
enum SetupExitStatus {
  EXIT_DONE = 0,     // the run did what it was asked
  EXIT_STOPPED = 1,  // cancelled or declined, or another setup is running
  EXIT_FAILED = 2,   // start-up or a step failed; setup said why in a message
};

// The command line's answers to the wizard's pages.
#include "wizard/page_answers.h"

#include "res/resource.h"
#include "sdk/setup_results.h"
#include "util/action_log.h"
#include "util/bounded_text.h"
#include "util/path_checks.h"
#include "util/run_options.h"
#include "wizard/pages.h"

void preset_page(SetupInfo *info, WORD page_id) {
  if (page_id == IDD_DIRECTORY && run_options().install_dir.length()) {
    char path[MAX_PATH];
    if (copy_text(path, sizeof path, run_options().install_dir.c_str())) {
      take_directory(info, path);
    } else {
      info->install_dir = run_options().install_dir;  // too long for any page: the steps refuse it
    }
  }
  if (page_id == IDD_START_MENU && run_options().start_menu_folder.length())
    take_start_menu_folder(info, run_options().start_menu_folder.c_str());
}

int answer_page_silently(SetupInfo *info, WORD page_id) {
  if (page_id == IDD_DIRECTORY) {
    char path[MAX_PATH];
    bool usable = copy_text(path, sizeof path, info->install_dir.c_str()) != 0;
    if (usable) take_directory(info, path);
    if (!usable || !directory_is_usable(path, info)) {
      char name[MAX_PATH];
      if (usable && first_refused_name(path, name, sizeof name))
        log_line("page: the install directory \"%.300s\" cannot be used: Windows refuses the name \"%s\"",
                 info->install_dir.c_str(), name);
      else
        log_line("page: the install directory \"%.300s\" cannot be used (no valid path, or too little room)",
                 info->install_dir.c_str());
      return RESULT_FAILED;
    }
  } else if (page_id == IDD_START_MENU) {
    String folder = info->start_menu_folder;  // a copy: the page's Next assigns the field from it
    take_start_menu_folder(info, folder.c_str());
  }
  return RESULT_GO_ON;
}

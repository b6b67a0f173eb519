// SetupInfo and its item classes: constructors set the documented defaults, destructors free.
#include "setup_info.h"

SetupDir::SetupDir() {}
SetupDir::~SetupDir() {}

SetupFile::SetupFile() {}
SetupFile::~SetupFile() {}

// type is left for the script reader to set; -1 marks "no known type" so that an entry that
// never received one is written by nobody.
SetupRegEntry::SetupRegEntry() : root(0), dword_value(0), type(-1) {}
SetupRegEntry::~SetupRegEntry() {}

SetupStartMenu::SetupStartMenu() : icon(0) {}
SetupStartMenu::~SetupStartMenu() {}

SetupAssociation::SetupAssociation() : icon(0) {}
SetupAssociation::~SetupAssociation() {}

SetupDependancy::SetupDependancy() {}
SetupDependancy::~SetupDependancy() {}

UninstallFailed::UninstallFailed() : kind(FAILED_FILE) {}
UninstallFailed::~UninstallFailed() {}

UninstallInfo::UninstallInfo() : kind(RECORD_NONE), index(0) {}
UninstallInfo::~UninstallInfo() {}

SetupInfo::SetupInfo()
    : main_window(nullptr),
      background_bitmap(nullptr),
      bitmap_tiled(0),
      bitmap_location(0),
      has_bitmap(0),
      background_color(0),
      resource_instance(nullptr),
      setup_instance(nullptr),
      hook_library(nullptr),
      has_resource_dll(0),
      replacing_previous(0),
      removal_incomplete(0),
      has_version(0),
      version_major_high(0),
      version_major_low(0),
      version_minor_high(0),
      version_minor_low(0),
      copy_delay(333),
      files_size(0),
      depend_size(0),
      extra_space(0),
      space_needed(0),
      uninstall_file_total(0),
      uninstall_dir_total(0),
      uninstall_key_total(0),
      uninstall_assoc_total(0),
      dirs_cursor(nullptr),
      files_cursor(nullptr),
      reg_entries_cursor(nullptr),
      start_menu_items_cursor(nullptr),
      associations_cursor(nullptr),
      dependencies_cursor(nullptr),
      uninstall_failures_cursor(nullptr),
      uninstall_items_cursor(nullptr) {}

// The hook library goes first, so that no hook can run once strings and lists are gone;
// the members are then destroyed in reverse order of declaration.
SetupInfo::~SetupInfo() {
  if (hook_library) {
    FreeLibrary(hook_library);
    hook_library = nullptr;
  }
}

// SetupInfo: the one description and state of a setup run, and the item classes of its lists.
// Hook libraries read and write these fields directly, so the field order and widths are
// part of setup's exported interface: change them only together with every hook library.
#pragma once

#include <windows.h>

#include <cstdint>

#include "item_list.h"
#include "setup_api.h"
#include "setup_string.h"

class SETUP_API SetupDir {
 public:
  SetupDir();
  ~SetupDir();
  String path;
};

class SETUP_API SetupFile {
 public:
  SetupFile();
  ~SetupFile();
  String dest;
  String source;
};

class SETUP_API SetupRegEntry {
 public:
  SetupRegEntry();
  ~SetupRegEntry();
  int32_t root;  // HKEY_* value truncated to 32 bits; 0 = no root
  String key;
  String name;
  uint32_t dword_value;
  String string_value;
  int32_t type;  // REG_ENTRY_STRING or REG_ENTRY_DWORD; the script reader gives entries of another letter -1
};

// Types of SetupRegEntry.
enum { REG_ENTRY_STRING = 0, REG_ENTRY_DWORD = 1 };

class SETUP_API SetupStartMenu {
 public:
  SetupStartMenu();
  ~SetupStartMenu();
  int32_t icon;
  String path;
  String name;
  String args;
  String prog;
  String work;
};

class SETUP_API SetupAssociation {
 public:
  SetupAssociation();
  ~SetupAssociation();
  int32_t icon;
  String prog;
  String ext;
};

class SETUP_API SetupDependancy {
 public:
  SetupDependancy();
  ~SetupDependancy();
  String name;
};

// Kinds of UninstallFailed.
enum { FAILED_FILE = 0, FAILED_DIR = 1, FAILED_KEY = 2 };

class SETUP_API UninstallFailed {
 public:
  UninstallFailed();
  ~UninstallFailed();
  int32_t kind;
  String reg_key;
  String file;
  String dir;
};

// Kinds of UninstallInfo (the uninstall record's numbering). RECORD_KEY is a value in a key the
// installation created, RECORD_VALUE one in a key that existed before it, RECORD_CREATED_KEY a
// key the installation created on the way to its values.
enum {
  RECORD_NONE = -1,
  RECORD_FILE = 0,
  RECORD_KEY = 1,
  RECORD_DIR = 2,
  RECORD_ASSOC = 3,
  RECORD_VALUE = 4,
  RECORD_CREATED_KEY = 5,
};

class SETUP_API UninstallInfo {
 public:
  UninstallInfo();
  ~UninstallInfo();
  int32_t kind;
  int32_t index;
  String value;
};

// Where the background bitmap comes from.
enum { BITMAP_FROM_FILE = 2, BITMAP_FROM_RESOURCE = 3 };

class SETUP_API SetupInfo {
 public:
  SetupInfo();
  ~SetupInfo();

  HWND main_window;
  HBITMAP background_bitmap;
  String bitmap_name;
  int32_t bitmap_tiled;
  int32_t bitmap_location;
  int32_t has_bitmap;
  uint32_t background_color;
  HINSTANCE resource_instance;
  HINSTANCE setup_instance;
  HMODULE hook_library;
  String script_path;
  String source_dir;
  String install_dir;
  String product_name;
  String resource_dll_path;
  String spare_text;
  String start_menu_folder;
  String bitmap_dir;
  String version_prefix;
  int32_t has_resource_dll;
  int32_t replacing_previous;
  int32_t removal_incomplete;
  int32_t has_version;
  uint32_t version_major_high;
  uint32_t version_major_low;
  uint32_t version_minor_high;
  uint32_t version_minor_low;
  uint32_t copy_delay;
  uint32_t files_size;
  uint32_t depend_size;
  uint32_t extra_space;
  uint32_t space_needed;
  uint32_t uninstall_file_total;
  uint32_t uninstall_dir_total;
  uint32_t uninstall_key_total;
  uint32_t uninstall_assoc_total;
  String ready_text[8];
  ItemList<SetupDir> dirs;
  SetupDir *dirs_cursor;
  ItemList<SetupFile> files;
  SetupFile *files_cursor;
  ItemList<SetupRegEntry> reg_entries;
  SetupRegEntry *reg_entries_cursor;
  ItemList<SetupStartMenu> start_menu_items;
  SetupStartMenu *start_menu_items_cursor;
  ItemList<SetupAssociation> associations;
  SetupAssociation *associations_cursor;
  ItemList<SetupDependancy> dependencies;
  SetupDependancy *dependencies_cursor;
  ItemList<UninstallFailed> uninstall_failures;
  UninstallFailed *uninstall_failures_cursor;
  ItemList<UninstallInfo> uninstall_items;
  UninstallInfo *uninstall_items_cursor;
};

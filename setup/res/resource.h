// Resource identifiers of setup: dialogs with their controls, strings, bitmaps, icon.
// A product's resource library supplies replacements under these same identifiers.
// Groups are separated by blank lines; within a group every value is used once.
#pragma once

// Controls shared by the wizard pages.
#define IDC_BACK 4
#define IDC_SIDE_BITMAP 300

// Welcome page.
#define IDD_WELCOME 3000
#define IDC_WELCOME_TEXT 301
#define IDC_WELCOME_NOTE 302
#define IDC_WELCOME_CANCEL_HINT 116
#define IDC_WELCOME_NEXT_HINT 117

// Licence page.
#define IDD_LICENSE 3001
#define IDC_LICENSE_TEXT 301
#define IDC_LICENSE_AGREE_HINT 106
#define IDC_LICENSE_CANCEL_HINT 108

// Install directory page.
#define IDD_DIRECTORY 3002
#define IDC_DIRECTORY_EDIT 301
#define IDC_DIRECTORY_BROWSE 302
#define IDC_SPACE_NEEDED 303
#define IDC_SPACE_AVAILABLE 304
#define IDC_DIRECTORY_INTRO 101
#define IDC_DIRECTORY_NEXT_HINT 102
#define IDC_DIRECTORY_BROWSE_HINT 103
#define IDC_DIRECTORY_GROUP 104
#define IDC_SPACE_LABEL 105

// Start-menu folder page. Its two introductory texts also carry the ids 300 and 301; the
// picture and the edit come first in the template, so those are the controls found by id.
#define IDD_START_MENU 3003
#define IDC_START_MENU_EDIT 301
#define IDC_START_MENU_LIST 302

// Ready page: labels 301, 303, 305, 307 with their values 302, 304, 306, 308.
#define IDD_READY 3004
#define IDC_READY_FIRST 301
#define IDC_READY_LAST 308
#define IDC_READY_INTRO 110
#define IDC_READY_BACK_HINT 111
#define IDC_READY_NEXT_HINT 112

// Copy progress window.
#define IDD_PROGRESS 3005
#define IDC_PROGRESS_FILE 300
#define IDC_PROGRESS_BAR 301

// Installation Complete page.
#define IDD_COMPLETE 3006
#define IDC_COMPLETE_FIRST 301
#define IDC_COMPLETE_SECOND 302
#define IDC_COMPLETE_DONE 303
#define IDC_COMPLETE_FOURTH 304
#define IDC_COMPLETE_CLOSE_HINT 110

// Previous Version Detected page.
#define IDD_PREVIOUS 3007
#define IDC_PREVIOUS_TEXT 301
#define IDC_PREVIOUS_REPLACE_HINT 110
#define IDC_PREVIOUS_CANCEL_HINT 111

// Uninstalling dialog.
#define IDD_UNINSTALLING 3008
#define IDC_UNINSTALL_DETAILS 4
#define IDC_UNINSTALL_TEXT 301
#define IDC_UNINSTALL_LIST 302
#define IDC_UNINSTALL_RESULT 303

// Details dialog.
#define IDD_DETAILS 3009
#define IDC_DETAILS_LIST 301

// Strings.
#define IDS_WELCOME_TEXT 2000
#define IDS_WELCOME_NOTE 2001
#define IDS_WELCOME_TITLE 2002
#define IDS_COMPLETE_1 2003
#define IDS_COMPLETE_2 2004
#define IDS_COMPLETE_DONE 2005
#define IDS_COMPLETE_4 2006
#define IDS_PREVIOUS_TEXT 2007
#define IDS_UNINSTALL_WAIT 2008
#define IDS_UNINSTALL_DONE 2009
#define IDS_UNINSTALL_PARTIAL 2010
#define IDS_REMOVING_REGISTRY 2011
#define IDS_REMOVING_FILES 2012
#define IDS_REMOVING_START_MENU 2013
#define IDS_REMOVING_ASSOCIATIONS 2014
#define IDS_REMOVING_DIRECTORIES 2015
#define IDS_PROCESS_COMPLETE 2016
#define IDS_READY_DIRECTORY 2017
#define IDS_READY_START_MENU 2018
#define IDS_CANCEL_QUESTION 2019
#define IDS_CANCEL_CAPTION 2020
#define IDS_UNINSTALL_QUESTION 2021
#define IDS_UNINSTALL_CAPTION 2022
#define IDS_FAILED_FILE 2023
#define IDS_FAILED_KEY 2024
#define IDS_FAILED_DIR 2025
#define IDS_ASSOC_QUESTION 2026
#define IDS_ASSOC_CAPTION 2027

// Why an install step stopped the installation: the caption, then one text per kind of failure,
// each with "%s" for the path or key.
#define IDS_STEP_FAILED_CAPTION 2028
#define IDS_DIR_NOT_CREATED 2029
#define IDS_FILE_NOT_WRITTEN 2030
#define IDS_KEY_NOT_OPENED 2031
#define IDS_RECORD_NOT_WRITTEN 2032
#define IDS_PROGRESS_NOT_OPENED 2033

// What undoing a stopped installation achieved: the caption, the two outcomes, and the line that
// follows a cut list ("%s" takes how many more items could not be undone).
#define IDS_UNDO_CAPTION 2040
#define IDS_UNDO_DONE 2041
#define IDS_UNDO_INCOMPLETE 2042
#define IDS_UNDO_MORE 2043

// Why an uninstall, or the replacement of a previous version, cannot go on.
#define IDS_PREVIOUS_STILL_REMOVING 2060
#define IDS_UNINSTALL_COPY_FAILED 2061
#define IDS_UNINSTALL_START_FAILED 2062
#define IDS_BUNDLE_UNPACK_FAILED 2063

// Why a run refuses its command line.
#define IDS_INCOMPLETE_COMMAND 2064
#define IDS_UNKNOWN_SWITCH 2065
#define IDS_LOG_NOT_WRITTEN 2066

// Bitmaps and icon.
#define IDB_SIDE 4500
#define IDI_SETUP 100

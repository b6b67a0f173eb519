// Resource identifiers of setup: dialogs with their controls, strings, bitmaps, icon.
// A product's resource library supplies replacements under these same identifiers.
#pragma once

// Controls shared by the wizard pages.
#define IDC_SIDE_BITMAP 300
#define IDC_BACK 4

// Wizard pages.
#define IDD_WELCOME 3000
#define IDD_LICENSE 3001
#define IDD_DIRECTORY 3002
#define IDD_START_MENU 3003
#define IDD_READY 3004
#define IDD_COMPLETE 3006
#define IDD_PREVIOUS 3007

// Copy progress window.
#define IDD_PROGRESS 3005
#define IDC_PROGRESS_FILE 300
#define IDC_PROGRESS_BAR 301

// Uninstall dialogs.
#define IDD_UNINSTALLING 3008
#define IDD_DETAILS 3009

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

// Bitmaps and icon.
#define IDB_SIDE 4500
#define IDI_SETUP 100

// Resource identifiers of the tuner: its one dialog and its string table.
#pragma once

// The tuner dialog and its controls, in template order.
#define IDD_TUNER 101
#define IDC_RESTORE 1000
#define IDC_TYPE_MODEM_SLOW 1001    // "<28.8K modem"
#define IDC_TYPE_MODEM_33K 1002     // "28.8K/33.6K modem"
#define IDC_RCV_WINDOW 1003
#define IDC_MAX_MTU 1004
#define IDC_PMTU_DISCOVERY 1005
#define IDC_BLACKHOLE_DETECT 1006
#define IDC_MARK_BASIC 1007         // hidden; bottom of the basic area
#define IDC_MARK_FULL 1009          // hidden; bottom of the expanded dialog
#define IDC_TTL 1010
#define IDC_TYPE_MODEM_56K 1011
#define IDC_TYPE_ISDN 1012
#define IDC_TYPE_DSL 1013
#define IDC_TYPE_SATELLITE 1014
#define IDC_TYPE_T1E1 1015
#define IDC_TYPE_LAN 1016
#define IDC_TYPE_COLLAPSE 1017      // carried by no control; only ever found in a stored "Type"
#define IDC_HELP_BUTTON 1018
#define IDC_ABOUT 1020
#define IDC_ADVANCED 1021
#define IDC_DEFAULT 1022

// Strings 1 to 9: texts of the program.
#define IDS_TITLE 1
#define IDS_REBOOT 2
#define IDS_PLATFORM 3
#define IDS_PRODUCT_KEY 4
#define IDS_ABOUT 5
#define IDS_RESTORED 6
#define IDS_RESTORE_QUESTION 7
#define IDS_ADVANCED_MORE 8
#define IDS_ADVANCED_LESS 9

// Strings 20 to 29: refusals and start-up failures.
#define IDS_NO_MEMORY 20
#define IDS_BAD_MTU 21
#define IDS_BAD_TTL 22
#define IDS_BAD_FLAG 23

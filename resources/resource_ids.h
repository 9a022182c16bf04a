// Identifiers of the dialogs, menus and controls of vexor.rc, shared by the resource script and
// the Windows front end. Plain #defines so that the resource compiler reads them too.
#pragma once

#define IDD_MAIN_WINDOW 101
#define IDR_MAIN_MENU 102
#define IDD_ENGINE_EDIT 103
#define IDR_MAIN_ACCELERATORS 104

#define IDC_STATIC (-1)

// main window
#define IDC_RESULT_LIST 1002
#define IDC_STATUS_BAR 1003

// main menu
#define IDM_EXIT 40004
#define IDM_OPEN_SURVEY 40005
#define IDM_ABORT_SURVEY 40009
#define IDM_START_SURVEY 40010
#define IDM_ONLINE_HELP 40012
#define IDM_EDIT_ENGINE 40020
#define IDM_NEW_ENGINE 40021
#define IDM_IMPORT_ENGINE 40025
#define IDM_WRITE_REPORT 40030
#define IDM_RETRY_FAILED 40031
#define IDM_COLOUR_LEGEND 40032
#define IDM_EXPORT_CSV 40033
#define IDM_FETCH_DIRECT 40040
#define IDM_FETCH_BROWSER 40041
#define IDM_FETCH_SERVICE 40042
#define IDM_BROWSER_WINDOW 40043

// engine edit dialog
#define IDC_PAGE2_URL 1007
#define IDC_PAGE3_URL 1008
#define IDC_KEYWORD 1009
#define IDC_LEARN 1011
#define IDC_LEARN_STATUS 1013
#define IDC_FIRST_RESULT_URL 1018
#define IDC_TENTH_RESULT_URL 1019
#define IDC_START_MARKER 1021
#define IDC_END_MARKER 1022

// Every resource and control number of the program.
#pragma once

#define IDC_STATIC (-1)

#define IDD_MAIN 101
#define IDD_ABOUT 102
#define IDD_PROGRESS 103
#define IDB_ARTWORK 110

#define IDC_TITLE 1000
#define IDC_ARTIST 1001
#define IDC_ALBUM 1002
#define IDC_YEAR 1003
#define IDC_COMMENT 1004
#define IDC_SAVE_ALL 1005
#define IDC_OPEN 1006
#define IDC_SAVE_SELECTED 1007
#define IDC_CLEAR_ALL 1008
#define IDC_FILE_LIST 1010
#define IDC_USE_TITLE 1012
#define IDC_USE_ARTIST 1013
#define IDC_USE_ALBUM 1014
#define IDC_USE_YEAR 1015
#define IDC_USE_COMMENT 1016
#define IDC_ABOUT 1021
#define IDC_PROGRESS_TEXT 1030
#define IDC_PROGRESS_BAR 1031

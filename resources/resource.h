// Every resource and command identifier of the program, and nothing else.
// Templates and the icon are numbered in the 100s, controls from 1000,
// menu-only commands from 40001.
#pragma once

// Menu, dialog templates and icon
#define IDR_MAIN_MENU 101
#define IDD_ABOUT 102
#define IDD_SEARCH_PANEL 103
#define IDD_SELECT_DIRECTORY 108
#define IDD_FILE_TYPES 111
#define IDI_MAIN 112
#define IDD_LAUNCH_BROWSER 113

// Controls and panel commands
#define IDC_SEARCH_STRING 1000
#define IDC_MATCH_VIEW 1009
#define IDC_FILES_LABEL 1010
#define IDC_MATCHES_LABEL 1011
#define IDC_FILE_LIST 1018
#define IDC_SEARCH 1019
#define IDC_LAUNCH_BROWSER 1020
#define IDC_TYPE_HTM 1029
#define IDC_TYPE_TXT 1030
#define IDC_TYPE_RTF 1031
#define IDC_TYPE_DOC 1032
#define IDC_BROWSER_COMMAND 1033
#define IDC_SAVE_DEFAULT 1035

// Menu-only commands
#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_SELECT_DIRECTORY 40003
#define IDM_CASE_SENSITIVE 40005
#define IDM_SUBDIRECTORIES 40007
#define IDM_SELECT_FILE_TYPES 40010
#define IDM_WHOLE_WORDS 40011

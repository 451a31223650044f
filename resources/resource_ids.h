// Identifiers shared by the resource scripts and the code. Plain #defines,
// because the resource compiler reads this header too. Control identifiers
// are given per dialog: the wizard pages and the progress dialog reuse the
// same small numbers, and the folder dialog's are those that the system's
// old-style file dialog looks for.
#pragma once

// RCDATA: the apply engine's message table, resources/ui_strings.txt.
#define IDR_UI_STRINGS 101

// The program icon (the main window's class icon).
#define IDI_UPGAPPLY 1

// The start command that the main window posts to itself.
#define IDM_START_JOB 101

// Wizard pages "CONFIRM1", "CONFIRM2", "CONFIRM3". The buttons are the
// same on every page, and a page's result is the button that ended it.
#define IDC_PAGE_BACK 300
#define IDC_PAGE_NEXT 301
#define IDC_PAGE_CANCEL 2
#define IDC_PAGE_PICTURE 199
#define IDC_PAGE_TITLE 101
#define IDC_PAGE_DESCRIPTION 102
#define IDC_PAGE_FOLDER 101
#define IDC_PAGE_BROWSE 102

// Folder dialog "BROWSE": the old-style file dialog's own controls.
#define IDC_BROWSE_FOLDER_NAME 1088
#define IDC_BROWSE_FILE_TYPE_LABEL 1089
#define IDC_BROWSE_FILE_NAME_LABEL 1090
#define IDC_BROWSE_DRIVES_LABEL 1091
#define IDC_BROWSE_HELP 1038
#define IDC_BROWSE_READ_ONLY 1040
#define IDC_BROWSE_FILES 1120
#define IDC_BROWSE_FOLDERS 1121
#define IDC_BROWSE_FILE_TYPES 1136
#define IDC_BROWSE_DRIVES 1137
#define IDC_BROWSE_FILE_NAME 1152

// Progress dialog "UPGPROGRESS" (the engine writes these controls).
#define IDC_PROGRESS_FILE_NAME 101
#define IDC_PROGRESS_DESCRIPTION 102
#define IDC_PROGRESS_STATUS 103
#define IDC_PROGRESS_BAR 105
#define IDC_PROGRESS_CANCEL 2

// Ids of Fendrik's resources: the main dialog and its controls, the two list-box
// menus and their commands, the string table and the icon. Shared by fendrik.rc and the code.
#pragma once

// Dialog
#define IDD_FENDRIK 102

// Icon
#define IDI_FENDRIK 128

// Popup menus of the two list boxes
#define IDM_SPLIT_LIST_MENU 130
#define IDM_CAT_LIST_MENU 131

// Controls of the split half
#define IDC_PICK_LARGE_FILE 1000
#define IDC_SPLIT_SIZE 1001
#define IDC_START_SPLIT 1005
#define IDC_SIZE_FLOPPY 1006
#define IDC_SIZE_STEP 1008
#define IDC_SIZE_STEP_LABEL 1009
#define IDC_LARGE_FILE 1011
#define IDC_FILE_SIZE 1012
#define IDC_SIZE_AND_CRC 1013
#define IDC_SPLIT_LIST 1014
#define IDC_SPLIT_PROGRESS 1015
#define IDC_FILE_CRC 1017
#define IDC_WITHOUT_CRC 1019
#define IDC_SPLIT_COUNT 1020
#define IDC_SELF_CATENATE 1021
// The frame of the split half: a file dropped inside it becomes the large file
#define IDC_SPLIT_GROUP 1022
// Recovery files: how many lost or damaged pieces they restore (0: none), and its up-down control
#define IDC_RECOVERY_COUNT 1024
#define IDC_RECOVERY_STEP 1025

// Controls of the catenate half
#define IDC_PICK_FIRST_PIECE 1002
#define IDC_START_CAT 1007
#define IDC_SELECT_SPECIFIC 1010
#define IDC_FIRST_PIECE 1016
#define IDC_CAT_LIST 1018
// The frame of the catenate half: files dropped inside it are to be joined
#define IDC_CAT_GROUP 1023

// Title lines of both menus: an item that does nothing
#define IDM_MENU_TITLE 65535

// Commands of the split list box's menu
#define IDM_SPLIT_COPY 32774
#define IDM_SPLIT_MOVE 32775
#define IDM_SPLIT_DELETE 32776

// Commands of the catenate list box's menu
#define IDM_CAT_COPY 32777
#define IDM_CAT_MOVE 32778
#define IDM_CAT_DELETE 32779
#define IDM_CAT_FILE_INFO 32780
#define IDM_CAT_SIZE_AND_CRC 32781
#define IDM_CAT_POS_UP 32782
#define IDM_CAT_POS_DOWN 32783
#define IDM_CAT_CHECK_PIECES 32784

// String table: the name of an explicit-sequence join, formatted with a random number
#define IDS_JOIN_FILE_NAME 2

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

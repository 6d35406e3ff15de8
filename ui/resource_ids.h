// Numbers of the module's templates, controls and strings. Plain macros: the
// resource script includes this header too.
#pragma once

// Dialog templates.
#define IDD_XY_PAGE 101
#define IDD_Z_PAGE 102
#define IDD_SHUTTER_PAGE 103
#define IDD_WHEEL_PAGE 104
#define IDD_NAME_LIST 121

// Serial line controls, on the stage pages and the device pages.
#define IDC_PORT 1000
#define IDC_STEP_SIZE 1001
#define IDC_AUTO_FOCUS 1002
#define IDC_BAUD_RATE 1003
#define IDC_ONE_STOP_BIT 1004
#define IDC_TWO_STOP_BITS 1005
#define IDC_PARITY_NONE 1006
#define IDC_PARITY_EVEN 1007
#define IDC_PARITY_ODD 1008
#define IDC_PORT_LABEL 1010
#define IDC_BAUD_LABEL 1011
#define IDC_STOP_BITS_LABEL 1012
#define IDC_PARITY_LABEL 1013

// Shutter page.
#define IDC_SHUTTER_NAME 1020
#define IDC_SHUTTER_TITLE 1021

// Filter wheel page.
#define IDC_FILTER_SET 1030
#define IDC_WHEEL_TITLE 1031
#define IDC_SIX_POSITIONS 1032
#define IDC_EIGHT_POSITIONS 1033
#define IDC_TEN_POSITIONS 1034
#define IDC_POSITION_LABEL 1036
#define IDC_POSITION_NAME 1037
#define IDC_NAME_LIST_BUTTON 1039
#define IDC_DELETE_SET 1044
#define IDC_HOME 1046
#define IDC_SAVE_SET 1049
#define IDC_ARCHIVE_SET 1222

// Name list editor.
#define IDC_NAME_LIST 1211
#define IDC_DELETE_NAME 1212

// Strings.
#define IDS_CAPTION 20000
#define IDS_DEFAULTS_APPLIED 20001
#define IDS_DISCARD_WHEEL_CHANGES 20004
#define IDS_EMPTY_NAME_LIST 20006
#define IDS_SAVE_ARCHIVED_SET 20018
#define IDS_SAVE_ARCHIVED_CAPTION 20019
#define IDS_DELETE_ARCHIVED_SET 20024
#define IDS_DELETE_ARCHIVED_CAPTION 20025
#define IDS_SAVE_SET_NOW 20032

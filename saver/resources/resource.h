// Resource numbers of the saver module.
#pragma once

#define IDS_DISPLAY_NAME 1
#define IDS_TITLE 1010
#define IDS_CREDIT 1011

#define IDD_CONFIGURE 2003
#define IDI_PROGRAM 108

#define IDC_FILEPATH 1001
#define IDC_DISPLAY 1003
#define IDC_AVIPLAY 1010
#define IDC_FADE_PAGE 1014
#define IDC_OPENING 1018
#define IDC_COLOR_PAGE 1020
#define IDC_VERSION 1024
#define IDC_FONT_PAGE 1025
#define IDC_LIMITS_PAGE 1028
#define IDC_TEXTGEN_PAGE 1030
#define IDC_BACK_PAGE 1031

// Limits page.
#define IDD_LIMITS 166
#define IDC_COM1 1005
#define IDC_COM2 1006
#define IDC_COM3 1008
#define IDC_COM4 1009
#define IDC_USEDCOMNORUN 1022

// TextGenDLL page.
#define IDD_TEXTGEN 167
#define IDC_TEXTGEN_LIST 1015

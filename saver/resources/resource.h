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
#define IDC_BROWSE 1032
#define IDC_ALLMONITORS 1033
// Shown only where a policy sets some of the settings.
#define IDC_MANAGED_NOTE 1040

// Configuration pages and the version box.
#define IDD_FADE_PAGE 156
#define IDD_TEXTCOLOR_PAGE 160
#define IDD_VERSION 162
#define IDD_FONT_PAGE 164
#define IDD_BACKCOLOR_PAGE 168
#define IDI_ARROW_LEFT 158
#define IDI_ARROW_RIGHT 159
#define IDB_LOGO 163
#define IDI_PALETTE 1020

// Fade and font pages.
#define IDC_CHOSEN_FADES 1014
#define IDC_CANDIDATES 1015
#define IDC_ADD 1016
#define IDC_REMOVE 1017
#define IDC_FADEINOUT 1019
#define IDC_CHOSEN_FONTS 1025
#define IDC_VERTICAL 1026

// Colour pages.
#define IDC_SWATCHES 1001
#define IDC_ADD_COLOUR 1002
#define IDC_REMOVE_COLOUR 1003

// Limits page.
#define IDD_LIMITS_PAGE 166
#define IDC_COM1 1005
#define IDC_COM2 1006
#define IDC_COM3 1008
#define IDC_COM4 1009
#define IDC_USEDCOMNORUN 1022

// TextGenDLL page.
#define IDD_TEXTGEN_PAGE 167
#define IDC_TEXTGEN_LIST 1015
#define IDC_TEXTGEN_SETTINGS 1041
#define IDC_TEXTGEN_HINT 1042
#define IDC_TEXTGEN_REFUSED 1043

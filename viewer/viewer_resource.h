// Resource and control ids of KELMGDBG. Plug-in writers' notes and older
// builds refer to these numbers, so they stay as they are.
#pragma once

#define IDM_ABOUT 40005
#define IDM_RUN 40006
#define IDM_LOAD 40007
#define IDM_EXIT 40008
#define IDM_SETTINGS 40010

#define IDC_OK 1000
#define IDC_DLLNAME 1001
#define IDC_PROCLIST 1002
#define IDC_RUNPROC 1004
#define IDC_CANCEL 1005
#define IDC_BROWSE 1006

#define IDB_ABOUT 109

// Message texts, shown in boxes captioned "TextGenDLL TestViewer".
#define IDS_CANT_LOAD 2001
#define IDS_NO_NAMES_PROC 2002
#define IDS_NO_CONFIG_PROC 2003
#define IDS_NO_SELECTION 2004
#define IDS_PROC_MISSING 2005
#define IDS_PROC_RETURNED_ZERO 2006
#define IDS_PROC_NO_TEXT 2007
#define IDS_CANT_LOAD_BARE 2008
#define IDS_SAVER_STOPS 2009
#define IDS_SAVER_STOPS_AT_ONCE 2010
#define IDS_WHY_EMPTY 2011
#define IDS_WHY_UNTERMINATED 2012
#define IDS_WHY_NOT_EXPORTED 2013

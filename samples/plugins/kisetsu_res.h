#pragma once
#define IDD_KISETSU 100
#define IDC_KISETSU_NAME 101
#define IDC_KISETSU_DATE 102

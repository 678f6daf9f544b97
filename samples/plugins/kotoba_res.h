#pragma once
#define IDD_KOTOBA 100
#define IDC_KOTOBA_COUNT 101
#define IDC_KOTOBA_MIX 102

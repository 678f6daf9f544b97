// KISETSU.DLL: a greeting of the season, today's date and the days left in
// the year. Its settings: a name to greet, and whether the date and the
// days left are shown too.
#include "samples/plugins/sample_kit.h"

#include <cstdio>
#include <cwchar>

#include "samples/plugins/kisetsu_res.h"

namespace {
const wchar_t kPlugin[] = L"Kisetsu";
const int kNameChars = 21;   // twenty characters and the terminator
HINSTANCE module;

const wchar_t* const kSeasons[12] = {
    L"松の内も明けて\r\n寒さもいよいよ本番です",
    L"梅のつぼみが\r\nふくらみはじめました",
    L"日ざしの中に\r\n春の気配が満ちてきました",
    L"桜の便りが\r\nあちこちから届く頃です",
    L"若葉の緑が\r\nまぶしい季節になりました",
    L"紫陽花が\r\n雨に映える頃となりました",
    L"夏空に\r\n入道雲がわき立っています",
    L"暑さの中にも\r\n夕風に秋の気配がします",
    L"虫の音に\r\n秋の夜長を感じます",
    L"木々の葉が\r\n美しく色づきはじめました",
    L"落ち葉を踏む音に\r\n冬の近さを知ります",
    L"今年もあとわずか\r\n慌ただしい毎日です",
};

const wchar_t* const kWeekdays[7] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DayOfYear(const SYSTEMTIME& t)
{
    static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int day = kBefore[(t.wMonth - 1) % 12] + t.wDay;
    if (t.wMonth > 2 && IsLeapYear(t.wYear)) ++day;
    return day;
}
}

extern "C" {
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) module = instance;
    return TRUE;
}

WORD WINAPI GetTextgenProcNames(HGLOBAL* names)
{
    static const char* const kAll[] = {"Greeting", "Today", "DaysLeft"};
    int count = ReadSettingNumber(kPlugin, L"ShowDate", 1) ? 3 : 1;
    return GiveNames(kAll, count, names);
}

WORD WINAPI Greeting(HGLOBAL* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[kNameChars];
    ReadSettingText(kPlugin, L"Name", name, kNameChars);
    wchar_t out[200];
    if (name[0]) std::swprintf(out, 200, L"%lsさん\r\n%ls\r\n@>季節のご挨拶", name, kSeasons[(now.wMonth - 1) % 12]);
    else std::swprintf(out, 200, L"%ls\r\n@>季節のご挨拶", kSeasons[(now.wMonth - 1) % 12]);
    return GiveText(out, text);
}

WORD WINAPI Today(HGLOBAL* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t out[100];
    std::swprintf(out, 100, L"今日は\r\n%d月%d日 %ls曜日\r\n@>%d年", now.wMonth, now.wDay, kWeekdays[now.wDayOfWeek % 7],
                  now.wYear);
    return GiveText(out, text);
}

WORD WINAPI DaysLeft(HGLOBAL* text)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    int left = (IsLeapYear(now.wYear) ? 366 : 365) - DayOfYear(now);
    wchar_t out[100];
    if (left == 0) std::swprintf(out, 100, L"今日は大晦日\r\nよいお年を");
    else if (DayOfYear(now) == 1) std::swprintf(out, 100, L"あけまして\r\nおめでとうございます");
    else std::swprintf(out, 100, L"%d年も\r\n残り%d日です", now.wYear, left);
    return GiveText(out, text);
}
}

namespace {
INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        wchar_t name[kNameChars];
        ReadSettingText(kPlugin, L"Name", name, kNameChars);
        SendDlgItemMessageW(dialog, IDC_KISETSU_NAME, EM_LIMITTEXT, kNameChars - 1, 0);
        SetDlgItemTextW(dialog, IDC_KISETSU_NAME, name);
        CheckDlgButton(dialog, IDC_KISETSU_DATE, ReadSettingNumber(kPlugin, L"ShowDate", 1) ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            wchar_t name[kNameChars] = L"";
            GetDlgItemTextW(dialog, IDC_KISETSU_NAME, name, kNameChars);
            bool kept = WriteSettingText(kPlugin, L"Name", name) &&
                        WriteSettingNumber(kPlugin, L"ShowDate", IsDlgButtonChecked(dialog, IDC_KISETSU_DATE) == BST_CHECKED);
            if (!kept) {
                MessageBoxW(dialog, L"設定を保存できませんでした", L"季節のご挨拶", MB_ICONERROR);
                return TRUE;
            }
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
}

extern "C" WORD WINAPI GetTextgenCnfgDlg(HWND owner)
{
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_KISETSU), owner, SettingsProc, 0);
    return 0;
}

// KOTOBA.DLL: sayings put together from the two halves of old proverbs.
// Each visit of the show gets as many sayings as the settings ask for
// (1 to 5); with mixing switched off the halves stay with their own.
#include "samples/plugins/sample_kit.h"

#include <cstdio>
#include <cwchar>

#include "samples/plugins/kotoba_res.h"

namespace {
const wchar_t kPlugin[] = L"Kotoba";
const DWORD kMaxCount = 5;
HINSTANCE module;

struct Halves {
    const wchar_t* first;
    const wchar_t* second;
};

const Halves kProverbs[] = {
    {L"急がば", L"回れ"},
    {L"猿も木から", L"落ちる"},
    {L"石の上にも", L"三年"},
    {L"塵も積もれば", L"山となる"},
    {L"花より", L"団子"},
    {L"雨降って", L"地固まる"},
    {L"笑う門には", L"福来たる"},
    {L"七転び", L"八起き"},
    {L"果報は", L"寝て待て"},
    {L"案ずるより", L"産むが易し"},
    {L"犬も歩けば", L"棒に当たる"},
    {L"早起きは", L"三文の徳"},
};
const unsigned kCount = sizeof kProverbs / sizeof kProverbs[0];

unsigned Draw(unsigned below)
{
    // A generator of its own, seeded once: the host's generator is not
    // the plug-in's to draw from.
    static unsigned state = 0;
    if (state == 0) state = GetTickCount() | 1u;
    state = state * 1103515245u + 12345u;
    return (state >> 16) % below;
}

DWORD SayingCount()
{
    DWORD n = ReadSettingNumber(kPlugin, L"Count", 2);
    return n < 1 ? 1 : n > kMaxCount ? kMaxCount : n;
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
    static const char* const kSame[kMaxCount] = {"Combine", "Combine", "Combine", "Combine", "Combine"};
    return GiveNames(kSame, static_cast<int>(SayingCount()), names);
}

WORD WINAPI Combine(HGLOBAL* text)
{
    unsigned a = Draw(kCount);
    unsigned b = a;
    if (ReadSettingNumber(kPlugin, L"Mix", 1)) b = (a + 1 + Draw(kCount - 1)) % kCount;
    wchar_t out[120];
    std::swprintf(out, 120, L"%ls\r\n%ls\r\n@>%ls", kProverbs[a].first, kProverbs[b].second,
                  a == b ? L"ことわざ" : L"ことわざ合成機");
    return GiveText(out, text);
}
}

namespace {
INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        for (DWORD i = 1; i <= kMaxCount; ++i) {
            wchar_t item[8];
            std::swprintf(item, 8, L"%lu", static_cast<unsigned long>(i));
            SendDlgItemMessageW(dialog, IDC_KOTOBA_COUNT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        SendDlgItemMessageW(dialog, IDC_KOTOBA_COUNT, CB_SETCURSEL, SayingCount() - 1, 0);
        CheckDlgButton(dialog, IDC_KOTOBA_MIX, ReadSettingNumber(kPlugin, L"Mix", 1) ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            LRESULT pick = SendDlgItemMessageW(dialog, IDC_KOTOBA_COUNT, CB_GETCURSEL, 0, 0);
            DWORD count = pick == CB_ERR ? 2 : static_cast<DWORD>(pick) + 1;
            bool kept = WriteSettingNumber(kPlugin, L"Count", count) &&
                        WriteSettingNumber(kPlugin, L"Mix", IsDlgButtonChecked(dialog, IDC_KOTOBA_MIX) == BST_CHECKED);
            if (!kept) {
                MessageBoxW(dialog, L"設定を保存できませんでした", L"ことわざ合成機", MB_ICONERROR);
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
    DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_KOTOBA), owner, SettingsProc, 0);
    return 0;
}

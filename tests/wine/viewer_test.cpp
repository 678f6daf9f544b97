// KELMGDBG started as its own process and driven the way a user drives it:
// menu keys, dialog controls, buttons; results read from its windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <cwchar>
#include <string>
#include <vector>

#include "tests/wine/wine_test_util.h"

namespace {
struct Found {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* title;
    HWND window;
};

BOOL CALLBACK MatchWindow(HWND w, LPARAM data)
{
    Found* f = reinterpret_cast<Found*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[64], title[128];
    GetClassNameW(w, cls, 64);
    GetWindowTextW(w, title, 128);
    if (pid == f->pid && IsWindowVisible(w) && wcscmp(cls, f->cls) == 0 && (!f->title || wcscmp(title, f->title) == 0)) {
        f->window = w;
        return FALSE;
    }
    return TRUE;
}

std::wstring TextOf(HWND w)
{
    wchar_t text[512] = L"";
    SendMessageW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

struct ViewerProcess : testing::Test {
    PROCESS_INFORMATION pi = {};
    HWND main = nullptr;
    std::wstring opened;  // what the name box held when the load dialog opened

    void SetUp() override
    {
        std::wstring line = L"\"" + BesideTests(L"KELMGDBG.exe") + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            << "KELMGDBG.exe beside the tests";
        WaitForInputIdle(pi.hProcess, 20000);
        main = Wait(L"DUZEVAZAClass", L"TextGenDLL TestViewer");
        ASSERT_NE(main, nullptr);
    }
    void TearDown() override
    {
        if (!pi.hProcess) return;
        // Closing with a plug-in loaded releases it and ends normally.
        if (main) PostMessageW(main, WM_CLOSE, 0, 0);
        DWORD code = 99;
        if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
        else TerminateProcess(pi.hProcess, 99);
        EXPECT_EQ(code, 0u);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }

    // A visible top-level window of the viewer, within ms or not at all.
    HWND Wait(const wchar_t* cls, const wchar_t* title, DWORD ms = 10000)
    {
        for (DWORD waited = 0;; waited += 50) {
            Found f = {pi.dwProcessId, cls, title, nullptr};
            EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&f));
            if (f.window || waited >= ms) return f.window;
            Sleep(50);
        }
    }
    bool Gone(HWND w)
    {
        for (int i = 0; i < 200 && IsWindow(w) && IsWindowVisible(w); ++i) Sleep(50);
        return !IsWindow(w) || !IsWindowVisible(w);
    }

    // "実行(&R)" then the entry of that key ('e' run, 's' settings): the
    // window it opens, or null when the entry is greyed. A menu opened while
    // activation is still coming back from a closed dialog is cancelled by
    // it, hence the second try.
    HWND OpenByMenu(wchar_t key, const wchar_t* opens, int tries)
    {
        for (int attempt = 0; attempt < tries; ++attempt) {
            for (int i = 0; i < 40 && (Wait(L"#32768", nullptr, 0) || GetForegroundWindow() != main); ++i) Sleep(50);
            PostMessageW(main, WM_SYSCOMMAND, SC_KEYMENU, 'r');
            if (!Wait(L"#32768", nullptr)) continue;
            PostMessageW(main, WM_CHAR, key, 0);
            HWND w = Wait(L"#32770", opens, 1500);
            if (w) return w;
        }
        return nullptr;
    }
    // One try where the entry should be greyed.
    HWND OpenRunByMenu(int tries = 2) { return OpenByMenu('e', L"TextGenDLL\x306e\x5b9f\x884c", tries); }
    HWND OpenSettingsByMenu(int tries = 2) { return OpenByMenu('s', L"vw_two settings", tries); }

    // Types a name into the load dialog, or picks it with the browse button
    // (the name box then gets the bare name, in `boxed`), and presses OK.
    // Returns the text of the message box this gave (closed again), or L""
    // when the dialog closed without one.
    std::wstring Load(const std::wstring& name, std::wstring* boxed = nullptr)
    {
        PostMessageW(main, WM_COMMAND, 40007, 0);
        HWND dialog = Wait(L"#32770", L"TextGenDLL\x306e\x8a2d\x5b9a");
        if (!dialog) return L"no load dialog";
        opened = TextOf(GetDlgItem(dialog, 1001));
        if (boxed) {
            PostMessageW(dialog, WM_COMMAND, 1006, 0);
            HWND files = Wait(L"#32770", L"TextGenDLL File");
            if (!files) return L"no file dialog";
            for (int id : {0x480, 0x47c}) SendMessageW(GetDlgItem(files, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
            PostMessageW(files, WM_COMMAND, IDOK, 0);
            if (!Gone(files)) return L"file dialog stayed";
            *boxed = TextOf(GetDlgItem(dialog, 1001));
        } else {
            SendMessageW(GetDlgItem(dialog, 1001), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        PostMessageW(dialog, WM_COMMAND, 1000, 0);
        std::wstring said = CloseMessageBox(dialog);
        if (!said.empty()) PostMessageW(dialog, WM_COMMAND, 1005, 0);
        return Gone(dialog) ? said : L"load dialog stayed";
    }

    // The text of the message box that appears before `until` closes
    // (closed again with OK), or L"" when none does.
    std::wstring CloseMessageBox(HWND until = nullptr)
    {
        HWND box = nullptr;
        for (int i = 0; i < 200; ++i) {
            box = Wait(L"#32770", L"TextGenDLL TestViewer", 0);
            if (box || (until && !IsWindowVisible(until))) break;
            Sleep(50);
        }
        if (!box) return L"";
        std::wstring text = TextOf(GetDlgItem(box, 0xFFFF));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        Gone(box);
        return text;
    }

    std::vector<std::wstring> Listed(HWND run)
    {
        HWND list = GetDlgItem(run, 1002);
        std::vector<std::wstring> names;
        LRESULT n = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            wchar_t name[64] = L"";
            if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 64) SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            names.push_back(name);
        }
        return names;
    }

    // Runs the listed procedure of that name; the message box text, or L"".
    std::wstring Run(const std::wstring& name)
    {
        HWND run = OpenRunByMenu();
        if (!run) return L"no run dialog";
        std::vector<std::wstring> names = Listed(run);
        for (size_t i = 0; i < names.size(); ++i)
            if (names[i] == name) SendMessageW(GetDlgItem(run, 1002), LB_SETCURSEL, i, 0);
        PostMessageW(run, WM_COMMAND, 1004, 0);
        std::wstring said = CloseMessageBox(run);
        if (!said.empty()) PostMessageW(run, WM_COMMAND, 1005, 0);
        return Gone(run) ? said : L"run dialog stayed";
    }

    std::wstring Shown() { return TextOf(FindWindowExW(main, nullptr, L"Edit", nullptr)); }
};

const wchar_t kCantLoad[] = L"TextGenDLL\x304c\x30ed\x30fc\x30c9\x3067\x304d\x307e\x305b\x3093";
}

TEST_F(ViewerProcess, ListsInNameOrderRunsTheChosenOneAndGreysUntilALoadSucceeds)
{
    PostMessageW(main, WM_COMMAND, 40005, 0);
    HWND about = Wait(L"#32770", L"\xff8a\xff9e\xff70\xff7c\xff9e\xff6e\xff9d\x60c5\x5831");
    ASSERT_NE(about, nullptr);
    HWND picture = nullptr;
    for (HWND c = FindWindowExW(about, nullptr, L"Static", nullptr); c; c = FindWindowExW(about, c, L"Static", nullptr))
        if ((GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) picture = c;
    EXPECT_NE(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), 0) << "bitmap 109";
    PostMessageW(about, WM_COMMAND, 1000, 0);
    EXPECT_TRUE(Gone(about));

    EXPECT_EQ(OpenRunByMenu(1), nullptr) << "run is greyed before any load";
    EXPECT_EQ(OpenSettingsByMenu(1), nullptr) << "settings too";
    std::wstring boxed;
    EXPECT_EQ(Load(BesideTests(L"testplugins\\vw_two.dll"), &boxed), L"");
    EXPECT_EQ(boxed, L"vw_two.dll");
    HWND run = OpenRunByMenu();
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(Listed(run), (std::vector<std::wstring>{L"Alpha", L"Zeta"}));
    PostMessageW(run, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Gone(run)) << "Esc and the close box close the dialog";

    EXPECT_EQ(Run(L"Zeta"), L"");
    EXPECT_EQ(Shown(), L"\x30bc\x30fc\x30bf\x306e\x8a00\x8449\r\nsecond line");
    EXPECT_EQ(Run(L"Alpha"), L"");
    EXPECT_EQ(Shown(), L"alpha text");
    // Run with nothing selected.
    EXPECT_EQ(Run(L""), L"\x5909\x306a\xff8c\xff9f\xff9b\xff7e\xff7c\xff9e\xff6c\x306e\x6307\x5b9a\x3092\x884c\x3044\x307e\x3057\x305f");

    // Confirming another load greys the entries even when it then fails.
    std::string folder = MakeTempFolder("viewer");
    std::string notLibrary = folder + "\\words.dll";
    WriteFileBytes(notLibrary, "not a library\r\n");
    HWND settings = OpenSettingsByMenu();
    ASSERT_NE(settings, nullptr) << "the plug-in's own settings";
    wchar_t owner[32];
    wsprintfW(owner, L"%p", main);
    EXPECT_EQ(TextOf(GetDlgItem(settings, 0xFFFF)), owner);
    // Its box is not owned by the viewer: the viewer must keep its own
    // window out of reach, and not close under the call.
    EXPECT_FALSE(IsWindowEnabled(main));
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main));
    PostMessageW(settings, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Gone(settings));

    EXPECT_EQ(Load(std::wstring(notLibrary.begin(), notLibrary.end())), kCantLoad);
    EXPECT_EQ(opened, L"vw_two.dll") << "the load dialog opens with the name used last";
    EXPECT_EQ(OpenRunByMenu(1), nullptr);
    EXPECT_EQ(OpenSettingsByMenu(1), nullptr);
    RemoveTree(folder);
}

TEST_F(ViewerProcess, HostilePluginsGetARefusalAndTheViewerGoesOn)
{
    std::string folder = MakeTempFolder("viewerhostile");
    std::wstring wideFolder(folder.begin(), folder.end());
    std::wstring hostile = BesideTests(L"testplugins\\vw_hostile.dll");
    // Every entry below the size is a row; the load names the entry (its
    // offset, or the size when there is none) where the saver stops.
    struct Copy {
        int line;
        const wchar_t* name;
        std::vector<std::wstring> listed;
        const wchar_t* stopsAt;
    } copies[] = {
        {__LINE__, L"overlong.dll", {L"ABCDEFGHIJKLMNOPQRST", L"Fine"}, L" 20)"},
        {__LINE__, L"nullnames.dll", {}, L" 40)"},
        {__LINE__, L"eighty.dll", {L"", L"Fine", L"Huge", L"Zero"}, L" 60)"},
        {__LINE__, L"partial.dll", {L"Fine", L"Huge"}, nullptr},
    };
    for (const Copy& c : copies) {
        std::wstring path = wideFolder + L"\\" + c.name;
        ASSERT_TRUE(CopyFileW(hostile.c_str(), path.c_str(), FALSE)) << "line " << c.line;
        std::wstring said = Load(path);
        EXPECT_TRUE(c.stopsAt ? said.find(c.stopsAt) != said.npos && said.find(L"Em042") != said.npos : said.empty())
            << "line " << c.line;
        HWND run = OpenRunByMenu();
        ASSERT_NE(run, nullptr) << "line " << c.line;
        EXPECT_EQ(Listed(run), c.listed) << "line " << c.line;
        PostMessageW(run, WM_COMMAND, 1005, 0);
        Gone(run);
    }
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(Load(std::wstring(system) + L"\\kernel32.dll"),
              L"GetTextgenProcNames\x304c\x3042\x308a\x307e\x305b\x3093");
    EXPECT_EQ(Load(wideFolder + L"\\absent.dll"), kCantLoad);
    // Not along the search path, and the refusal says so.
    EXPECT_EQ(Load(L"kernel32.dll").rfind(std::wstring(kCantLoad) + L"\n", 0), 0u);
    // A name too long to keep is refused, not cut down to some other file.
    std::wstring cut = wideFolder + L"\\";
    cut += std::wstring(127 - 4 - cut.size(), L'a') + L".dll";
    ASSERT_TRUE(CopyFileW(hostile.c_str(), cut.c_str(), FALSE));
    EXPECT_EQ(Load(cut + L"x"), kCantLoad);

    // Failed runs keep the plug-in loaded: later runs still reach it. Fine
    // tells if Zero's block was kept, and counts its text short.
    EXPECT_NE(Load(hostile).find(L" 80)"), std::wstring::npos) << "Missing, the fifth entry";
    struct Step {
        int line;
        const wchar_t* proc;
        const wchar_t* said;
        const wchar_t* shown;
    } steps[] = {
        {__LINE__, L"Missing", L"\x6307\x5b9a\x306e\xff8c\xff9f\xff9b\xff7e\xff7c\xff9e\xff6c\x304c\x3042\x308a\x307e\x305b\x3093", L""},
        {__LINE__, L"Zero", L"\x6307\x5b9a\x306e\xff8c\xff9f\xff9b\xff7e\xff7c\xff9e\xff6c\x304c 0 \x3092\x8fd4\x5374\x3057\x307e\x3057\x305f", L""},
        {__LINE__, L"NoHandle", L"\x6307\x5b9a\x306e\xff8c\xff9f\xff9b\xff7e\xff7c\xff9e\xff6c\x304c\xff83\xff77\xff7d\xff84\x3092\x8fd4\x5374\x3057\x307e\x305b\x3093\x3067\x3057\x305f", L""},
        {__LINE__, L"Fine", L"", L"fine"},
        {__LINE__, L"Huge", L"", L"cut-text"},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(Run(s.proc), s.said) << "line " << s.line;
        EXPECT_EQ(Shown(), s.shown) << "line " << s.line;
    }
    PostMessageW(main, WM_COMMAND, 40010, 0);
    EXPECT_EQ(CloseMessageBox(), L"GetTextgenCnfgDlg\x304c\x3042\x308a\x307e\x305b\x3093");
    RemoveTree(folder);
}

// The configuration pages driven as a user would: a timer on the test
// thread finds the dialog in front, selects, presses buttons and answers
// the colour dialog and the message boxes; every step has a deadline.
#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/resources/resource.h"
#include "saver/saver_state.h"
#include "saver/settings/configure_win.h"
#include "saver/settings/pages_win.h"
#include "saver/settings/store_win.h"
#include "saver/show/cycle_win.h"
#include "tests/wine/wine_test_util.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {
const char kFadeCaption[] = "\x83\x74\x83\x46\x81\x5b\x83\x68\xde\x90\xdd\x92\xe8";          // フェードﾞ設定
const char kFontCaption[] = "\x83\x74\x83\x48\x83\x93\x83\x67\x90\xdd\x92\xe8";              // フォント設定
const char kTextColourCaption[] = "\x95\xb6\x8e\x9a\x90\x46\x82\xcc\x90\xdd\x92\xe8";         // 文字色の設定
const char kBackColourCaption[] = "\x94\x77\x8c\x69\x90\x46\x82\xcc\x90\xdd\x92\xe8";         // 背景色の設定
const char kVersionCaption[] = "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1";   // バージョン情報
const char kTooLong[] = "\x82\xb1\x82\xcc\x88\xea\x97\x97\x82\xcd\x92\xb7\x82\xb7\x82\xac";   // この一覧は長すぎ…
const char kColourDialog[] = "<colour dialog>", kMessageBox[] = "<message box>";
const int kColourRed = 706;   // the colour dialog's red, green and blue edits

std::string Narrow(const wchar_t* text)
{
    char bytes[512];
    return NarrowTo932(text, -1, bytes, sizeof bytes) < 0 ? "?" : bytes;
}
std::string Caption(HWND w)
{
    wchar_t text[256] = L"";
    GetWindowTextW(w, text, 256);
    return Narrow(text);
}
BOOL CALLBACK CollectText(HWND child, LPARAM out)
{
    reinterpret_cast<std::string*>(out)->append(Caption(child) + "\n");
    return TRUE;
}
// Every child's text, one a line.
std::string Texts(HWND w)
{
    std::string texts;
    EnumChildWindows(w, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}
std::vector<std::string> Items(HWND page, int id)
{
    std::vector<std::string> items(static_cast<size_t>(SendDlgItemMessageW(page, id, LB_GETCOUNT, 0, 0)));
    char text[256];
    for (size_t i = 0; i < items.size(); ++i)
        items[i] = ListItemText932(GetDlgItem(page, id), static_cast<int>(i), text, sizeof text) ? text : "?";
    return items;
}
std::vector<uint32_t> Swatches(HWND page)
{
    std::vector<uint32_t> colours(static_cast<size_t>(SendDlgItemMessageW(page, IDC_SWATCHES, LB_GETCOUNT, 0, 0)));
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = static_cast<uint32_t>(SendDlgItemMessageW(page, IDC_SWATCHES, LB_GETITEMDATA, i, 0));
    return colours;
}
void Select(HWND page, int id, const char* text)
{
    Wide932 w;
    WideFrom932(&w, text, -1);
    SendDlgItemMessageW(page, id, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(w.text));
    FreeWide932(&w);
}
void Press(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
std::string Stored(const char* name)
{
    HKEY key = nullptr;
    char text[512] = "<missing>";
    RegOpenKeyRead932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &key);
    if (key && RegQueryString932(key, name, text, sizeof text) != ERROR_SUCCESS) std::strcpy(text, "<missing>");
    if (key) RegCloseKey(key);
    return text;
}

// One thing the user does, once the dialog in front is the expected one.
struct Step {
    std::string expect;   // a caption, kColourDialog or kMessageBox
    std::function<void(HWND)> act;
};
struct Script {
    std::vector<Step> steps;
    size_t next;
    int waited;
    std::string failure;
    HWND keep;   // the test's own modeless dialog, never the one in front
} * running;
const int kDeadlineTicks = 400;   // of 25 ms

BOOL CALLBACK FindFront(HWND w, LPARAM found)
{
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w) || !IsWindowEnabled(w) || w == running->keep) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}
bool Matches(HWND w, const std::string& expect)
{
    bool colourDialog = GetDlgItem(w, kColourRed) != nullptr;
    if (expect == kColourDialog || colourDialog) return expect == kColourDialog && colourDialog;
    return Caption(w) == (expect == kMessageBox ? std::string(g.titleText) : expect);
}
void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD)
{
    Script& s = *running;
    HWND front = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFront, reinterpret_cast<LPARAM>(&front));
    if (!s.failure.empty() || s.next >= s.steps.size()) {
        // Whatever stays open is closed, so that the test goes on.
        if (front && (!s.failure.empty() || ++s.waited > kDeadlineTicks)) {
            if (s.failure.empty()) s.failure = "left open: " + Caption(front);
            EndDialog(front, 0);
        }
        return;
    }
    Step step = s.steps[s.next];
    if (front && Matches(front, step.expect)) {
        ++s.next;
        s.waited = 0;
        step.act(front);   // a nested dialog's steps run from inside
    } else if (++s.waited > kDeadlineTicks) {
        s.failure = "step " + std::to_string(s.next) + " never saw " + step.expect + " but " +
                    (front ? Caption(front) : "nothing");
    }
}
// start opens the first dialog and returns when it has closed.
void RunScript(std::vector<Step> steps, const std::function<void()>& start, HWND keep = nullptr)
{
    Script s = {std::move(steps), 0, 0, "", keep};
    running = &s;
    UINT_PTR timer = SetTimer(nullptr, 0, 25, Drive);
    start();
    KillTimer(nullptr, timer);
    running = nullptr;
    EXPECT_EQ(s.failure, "");
    EXPECT_EQ(s.next, s.steps.size()) << "steps left undone";
}

struct PageKind {
    int resource;
    DLGPROC procedure;
    const char* caption;
} const kFade = {IDD_FADE_PAGE, FadePageProc, kFadeCaption}, kFont = {IDD_FONT_PAGE, FontPageProc, kFontCaption},
        kTextColours = {IDD_TEXTCOLOR_PAGE, TextColorPageProc, kTextColourCaption},
        kBackColours = {IDD_BACKCOLOR_PAGE, BackColorPageProc, kBackColourCaption};

// The page opened as the main dialog opens it; gives its result.
INT_PTR RunPage(const PageKind& page, std::vector<Step> steps)
{
    INT_PTR result = -2;
    RunScript(std::move(steps), [&] {
        result = DialogBoxParamW(g.instance, MAKEINTRESOURCEW(page.resource), nullptr, page.procedure, 0);
    });
    return result;
}
Step On(const PageKind& page, std::function<void(HWND)> act) { return {page.caption, std::move(act)}; }
Step Press(const PageKind& page, int id)
{
    return {page.caption, [id](HWND w) { Press(w, id); }};
}
Step AnswerBox(std::string* texts)
{
    return {kMessageBox, [texts](HWND w) {
                *texts = Texts(w);
                Press(w, IDOK);
            }};
}
// The custom colours of every colour dialog as it opens.
std::vector<COLORREF> customSeen;
LRESULT CALLBACK SeeCustomColours(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    const COLORREF* custom = m->message == WM_INITDIALOG && GetDlgItem(m->hwnd, kColourRed)
                                 ? reinterpret_cast<const CHOOSECOLORW*>(m->lParam)->lpCustColors : nullptr;
    if (custom) customSeen.insert(customSeen.end(), custom, custom + 16);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
Step PickColour(COLORREF colour)
{
    return {kColourDialog, [colour](HWND w) {
                for (int i = 0; i < 3; ++i) SetDlgItemInt(w, kColourRed + i, (colour >> (8 * i)) & 0xFF, FALSE);
                Press(w, 712);   // also to the custom colours, which the next use must not show
                Press(w, IDOK);
            }};
}

struct PageTest : testing::Test {
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        LoadStartupStrings();   // the boxes' caption
    }
    void TearDown() override
    {
        PumpMessages();
        SetSettingsKeyAccess(KEY_ALL_ACCESS);
        DeleteSettingsKey();
    }
};
}

TEST_F(PageTest, ButtonsOpenThePagesAndMostGiveTheFocusBackToOk)
{
    HWND dialog = CreateDialogParamW(g.instance, MAKEINTRESOURCEW(IDD_CONFIGURE), nullptr, ScreenSaverConfigureDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    struct Case {
        int line, button;
        const char* caption;
        bool versionBox;
    } cases[] = {
        {__LINE__, IDC_FADE_PAGE, kFadeCaption, false},     {__LINE__, IDC_COLOR_PAGE, kTextColourCaption, false},
        {__LINE__, IDC_FONT_PAGE, kFontCaption, false},     {__LINE__, IDC_BACK_PAGE, kBackColourCaption, false},
        {__LINE__, IDC_VERSION, kVersionCaption, true},
        {__LINE__, IDC_LIMITS_PAGE, "\x90\xa7\x8c\xc0\x90\xdd\x92\xe8", false},           // 制限設定
        {__LINE__, IDC_TEXTGEN_PAGE, "TextGenDLL\x82\xcc\x90\xdd\x92\xe8", true},   // it too only looks
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        bool stayed = false;
        std::string texts;
        RunScript({{c.caption,
                    [&](HWND w) {
                        texts = Texts(w);
                        // Esc and the close box: pages close, the version box does not.
                        SendMessageW(w, WM_COMMAND, IDCANCEL, 0);
                        SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
                        stayed = IsWindowVisible(w) != FALSE;
                        if (stayed) Press(w, IDOK);
                    }}},
                  [&] { Press(dialog, c.button); }, dialog);
        EXPECT_EQ(stayed, c.versionBox);
        EXPECT_EQ(GetFocus() == GetDlgItem(dialog, IDOK), !c.versionBox);
        if (c.button == IDC_VERSION) EXPECT_NE(texts.find("ScreenSaver R1.51\nfor Win32\n"), std::string::npos) << texts;
    }
    DestroyWindow(dialog);
}

TEST_F(PageTest, FadePageListsStoredCodesAndStoresTheChosenOnesInListOrder)
{
    auto add = [](int kind) {
        return On(kFade, [kind](HWND w) {
            Select(w, IDC_CANDIDATES, kTransitionNames[kind]);
            Press(w, IDC_ADD);
        });
    };
    SetSettingText("Fade", "03,03,");
    std::vector<std::string> shown;
    std::vector<Step> steps = {On(kFade, [&](HWND w) { shown = Items(w, IDC_CHOSEN_FADES); })};
    for (int i = 0; i < 3; ++i)   // the third finds nothing selected
        steps.push_back(On(kFade, [](HWND w) {
            SendDlgItemMessageW(w, IDC_CHOSEN_FADES, LB_SETCURSEL, 0, 0);
            Press(w, IDC_REMOVE);
        }));
    steps.insert(steps.end(), {add(14), add(3), add(7), add(3), add(14), On(kFade, [](HWND w) {
                                   CheckDlgButton(w, IDC_FADEINOUT, BST_CHECKED);
                                   Press(w, IDOK);
                               })});
    EXPECT_EQ(RunPage(kFade, steps), 1);
    EXPECT_EQ(shown, std::vector<std::string>(2, kTransitionNames[3]));
    EXPECT_EQ(Stored("Fade"), "03,07,14,");
    EXPECT_EQ(std::string(g.settings.FadeCodes), "030714");   // reloaded
    EXPECT_EQ(g.settings.FadeInOut, 1u);

    // Emptied: the empty text is stored, and transition 0 comes back alone.
    steps.assign(3, On(kFade, [](HWND w) {
                     SendDlgItemMessageW(w, IDC_CHOSEN_FADES, LB_SETCURSEL, 0, 0);
                     Press(w, IDC_REMOVE);
                 }));
    steps.push_back(Press(kFade, IDOK));
    EXPECT_EQ(RunPage(kFade, steps), 1);
    EXPECT_EQ(Stored("Fade"), "");
    UINT fadeSwitch = 0;
    RunPage(kFade, {add(5), On(kFade, [&](HWND w) {
                        shown = Items(w, IDC_CHOSEN_FADES);
                        fadeSwitch = IsDlgButtonChecked(w, IDC_FADEINOUT);
                        Press(w, IDCANCEL);
                    })});
    EXPECT_EQ(shown, (std::vector<std::string>{kTransitionNames[0], kTransitionNames[5]}));
    EXPECT_EQ(fadeSwitch, UINT(BST_CHECKED)) << "as stored: opened unchecked, an OK would clear it";
    EXPECT_EQ(Stored("Fade"), "");   // Cancel kept nothing
}

TEST_F(PageTest, FontPageOffersJapaneseTrueTypeFacesAndKeepsItsLimits)
{
    std::vector<std::string> offered, chosen;
    RunPage(kFont, {On(kFont, [&](HWND w) {
                        offered = Items(w, IDC_CANDIDATES);
                        Press(w, IDCANCEL);
                    })});
    // The test prefix maps the Japanese faces onto the IPA fonts.
    std::string all;
    for (const std::string& face : offered) all += face + "\n";
    EXPECT_NE(all.find("IPAGothic\n"), std::string::npos) << all;
    EXPECT_EQ(all.find("@"), std::string::npos) << all;
    ASSERT_LE(offered.size(), 30u);

    // A face that begins an already chosen one is not added.
    const std::string face = offered[0];
    SetSettingText("Font", (face + "X,").c_str());
    EXPECT_EQ(RunPage(kFont, {On(kFont, [&](HWND w) {
                  Select(w, IDC_CANDIDATES, face.c_str());
                  Press(w, IDC_ADD);
                  chosen = Items(w, IDC_CHOSEN_FONTS);
                  SendDlgItemMessageW(w, IDC_CHOSEN_FONTS, LB_SETCURSEL, 0, 0);
                  Press(w, IDC_REMOVE);
                  Press(w, IDC_ADD);
                  Press(w, IDOK);
              })}),
              1);
    EXPECT_EQ(chosen, std::vector<std::string>{face + "X"});
    EXPECT_EQ(Stored("Font"), face + ",");

    for (int fonts : {19, 20}) {
        SCOPED_TRACE(fonts);
        std::string text, box;
        for (int i = 0; i < fonts; ++i) text += "F" + std::to_string(100 + i) + ",";
        SetSettingText("Font", text.c_str());
        std::vector<Step> steps = {Press(kFont, IDOK)};
        if (fonts == 20) steps.insert(steps.end(), {AnswerBox(&box), Press(kFont, IDCANCEL)});
        EXPECT_EQ(RunPage(kFont, steps), fonts == 20 ? 0 : 1);
        EXPECT_EQ(box.find("\nEm052 ") != std::string::npos, fonts == 20) << box;
        EXPECT_EQ(Stored("Font"), text);
    }
}

TEST_F(PageTest, ColourPagesDrawFramedSwatchesAndStoreWhatTheColourDialogGave)
{
    const char* thirty = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,";
    struct Case {
        int line;
        const PageKind* page;
        const char* value;
        const char* before;
        std::vector<COLORREF> picks;   // each through the colour dialog; 1: cancelled
        const char* stored;
        std::vector<uint32_t> reopened;
    } cases[] = {
        // Black is stored as it is and read back as white for text only.
        {__LINE__, &kTextColours, "Color", "255,65280,", {0, 1}, "255,65280,0,", {255, 65280, 16777215}},
        {__LINE__, &kBackColours, "Back", "", {RGB(1, 2, 3)}, "0,197121,", {0, 197121}},
        // More than 30 from another tool: the first 30 are kept.
        {__LINE__, &kTextColours, "Color", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,",
         {}, thirty, {}},
    };
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    HHOOK seeing = SetWindowsHookExW(WH_CALLWNDPROC, SeeCustomColours, nullptr, GetCurrentThreadId());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetSettingText(c.value, c.before);
        std::vector<Step> steps;
        for (COLORREF pick : c.picks)
            steps.insert(steps.end(), {Press(*c.page, IDC_ADD_COLOUR),
                                       pick == 1 ? Step{kColourDialog, [](HWND w) { Press(w, IDCANCEL); }}
                                                 : PickColour(pick)});
        steps.push_back(Press(*c.page, IDOK));
        EXPECT_EQ(RunPage(*c.page, steps), 1);
        EXPECT_EQ(Stored(c.value), c.stored);
        if (c.reopened.empty()) continue;
        std::vector<uint32_t> listed, drawn, frames;
        RunPage(*c.page, {On(*c.page, [&](HWND w) {
                    listed = Swatches(w);
                    HWND list = GetDlgItem(w, IDC_SWATCHES);
                    SendMessageW(list, LB_SETCURSEL, 0, 0);
                    UpdateWindow(list);
                    RECT r;
                    for (WPARAM i = 0; i < listed.size(); ++i) {
                        SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
                        int x = (r.left + r.right) / 2;
                        drawn.push_back(PixelAt(list, x, (r.top + r.bottom) / 2));
                        // selection, then the swatch's own outline
                        frames.insert(frames.end(), {PixelAt(list, x, r.top + 1), PixelAt(list, x, r.top + 3)});
                    }
                    Press(w, IDCANCEL);
                })});
        EXPECT_EQ(listed, c.reopened);
        EXPECT_EQ(drawn, c.reopened);
        std::vector<uint32_t> expectFrames = {0, 0};
        for (size_t i = 1; i < listed.size(); ++i) expectFrames.insert(expectFrames.end(), {window, 0});
        EXPECT_EQ(frames, expectFrames);
    }
    UnhookWindowsHookEx(seeing);
    EXPECT_EQ(customSeen, std::vector<COLORREF>(3 * 16, RGB(255, 255, 255)));
}

// Nothing is lost silently: a 31st colour, or a list the loader could not
// read back, is refused with a message and the page stays as it was.
TEST_F(PageTest, ColourPagesRefuseListsTheyCouldNotKeep)
{
    std::string fourteenWhites, thirty, blacks;
    for (int i = 0; i < 14; ++i) fourteenWhites += "16777215,";   // 126 bytes
    for (int i = 1; i <= 30; ++i) thirty += std::to_string(i) + ",";
    for (int i = 0; i < 32; ++i) blacks += "0,";   // loads as 32 whites, 288 bytes to store
    struct Case {
        int line;
        std::string before;
        std::vector<Step> steps;
        std::string message;
        size_t left;
    } cases[] = {
        {__LINE__, thirty, {Press(kTextColours, IDC_ADD_COLOUR)}, "Em051", 30},   // before the colour dialog
        {__LINE__, fourteenWhites, {Press(kTextColours, IDC_ADD_COLOUR), PickColour(RGB(1, 0, 0))}, kTooLong, 14},
        {__LINE__, blacks, {Press(kTextColours, IDOK)}, kTooLong, 32},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetSettingText("Color", c.before.c_str());
        std::string box;
        size_t left = 0;
        c.steps.insert(c.steps.end(), {AnswerBox(&box), On(kTextColours, [&](HWND w) {
                                           left = Swatches(w).size();
                                           Press(w, IDCANCEL);
                                       })});
        RunPage(kTextColours, c.steps);
        EXPECT_NE(box.find("\n" + c.message), std::string::npos) << box;
        EXPECT_EQ(left, c.left);
        EXPECT_EQ(Stored("Color"), c.before);
    }
}

TEST_F(PageTest, PagesThatCannotStoreSayWhyAndStayOpen)
{
    SetSettingText("Back", "5,");
    ASSERT_TRUE(SetSettingsKeyAccess(KEY_READ | WRITE_DAC | DELETE));
    HKEY probe = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Oxbellow\\ScreenSaver.Kelmora\\Main\\", 0, KEY_SET_VALUE,
                      &probe) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this Wine grants write access in spite of the key's access list";
    }
    for (const PageKind* page : {&kFade, &kFont, &kTextColours, &kBackColours}) {
        SCOPED_TRACE(page->resource);
        std::string box;
        EXPECT_EQ(RunPage(*page, {Press(*page, IDOK), AnswerBox(&box), Press(*page, IDCANCEL)}), 0);
        EXPECT_NE(box, "");
    }
    SetSettingsKeyAccess(KEY_ALL_ACCESS);
    EXPECT_EQ(Stored("Back"), "5,");
}

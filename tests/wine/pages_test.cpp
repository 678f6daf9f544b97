// The configuration pages from their own resources, driven as a user
// would: a timer on the test thread finds the dialog in front, selects,
// presses buttons and answers the colour dialog and the message boxes.
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
const char kFadeCaption[] = "\x83\x74\x83\x46\x81\x5b\x83\x68\xde\x90\xdd\x92\xe8";   // フェードﾞ設定
const char kFontCaption[] = "\x83\x74\x83\x48\x83\x93\x83\x67\x90\xdd\x92\xe8";       // フォント設定
const char kTextColourCaption[] = "\x95\xb6\x8e\x9a\x90\x46\x82\xcc\x90\xdd\x92\xe8";  // 文字色の設定
const char kBackColourCaption[] = "\x94\x77\x8c\x69\x90\x46\x82\xcc\x90\xdd\x92\xe8";  // 背景色の設定
const char kVersionCaption[] = "\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8f\xee\x95\xf1";   // バージョン情報
const char kVersionLine[] = "\x83\x7e\x83\x8b\x83\x4a\x83\x69 ScreenSaver R1.51";            // ミルカナ ScreenSaver R1.51
const char kEm051[] = "Em051 \x83\x4a\x83\x89\x81\x5b\x82\xcc\x93\x6f\x98\x5e\x90\x94\x82\xaa\x8f\xe3\x8c\xc0\x82\xf0"
                      "\x92\xb4\x82\xa6\x82\xdc\x82\xb5\x82\xbd";
const char kEm052[] = "Em052 \x83\x74\x83\x48\x83\x93\x83\x67\x82\xcc\x90\xdd\x92\xe8\x90\x94\x82\xaa\x8f\xe3\x8c\xc0"
                      "\x82\xf0\x92\xb4\x82\xa6\x82\xdc\x82\xb5\x82\xbd";
// "この一覧は長すぎて保存できません。項目を減らしてください"
const char kTooLong[] = "\x82\xb1\x82\xcc\x88\xea\x97\x97\x82\xcd\x92\xb7\x82\xb7\x82\xac\x82\xc4\x95\xdb\x91\xb6\x82"
                        "\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x81\x42\x8d\x80\x96\xda\x82\xf0\x8c\xb8\x82\xe7\x82\xb5"
                        "\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2";
// What a step expects in front when it is not a dialog of ours.
const char kColourDialog[] = "<colour dialog>";
const char kMessageBox[] = "<message box>";
const int kColourRed = 706;   // the colour dialog's red, green and blue edits follow one another

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
    wchar_t text[256] = L"";
    GetWindowTextW(child, text, 256);
    reinterpret_cast<std::vector<std::string>*>(out)->push_back(Narrow(text));
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND w)
{
    std::vector<std::string> texts;
    EnumChildWindows(w, CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& wanted)
{
    for (const std::string& t : texts)
        if (t == wanted) return true;
    return false;
}

std::vector<std::string> ListTexts(HWND list)
{
    std::vector<std::string> texts;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[256];
        ListItemText932(list, i, text, sizeof text);
        texts.push_back(text);
    }
    return texts;
}

std::vector<uint32_t> ListColours(HWND list)
{
    std::vector<uint32_t> colours;
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i)
        colours.push_back(static_cast<uint32_t>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
    return colours;
}

// Selects the item whose whole text is `text`; false when there is none.
bool Select(HWND list, const char* text)
{
    Wide932 w;
    WideFrom932(&w, text, -1);
    LRESULT found = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(w.text));
    FreeWide932(&w);
    return found != LB_ERR && SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(found), 0) != LB_ERR;
}

void Press(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::string Stored(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyRead932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &key) != ERROR_SUCCESS) return "<no key>";
    char text[512];
    LONG r = RegQueryString932(key, name, text, sizeof text);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? text : "<missing>";
}

DWORD StoredNumber(const char* name)
{
    HKEY key = nullptr;
    DWORD value = 0xDEADBEEF;
    if (RegOpenKeyRead932(HKEY_LOCAL_MACHINE, SettingsKeyPath, &key) != ERROR_SUCCESS) return value;
    RegQueryDword932(key, name, &value);
    RegCloseKey(key);
    return value;
}

// One thing a user does at the dialog in front, once it is the one the
// step expects.
struct Step {
    std::string expect;   // caption, kColourDialog or kMessageBox
    std::function<void(HWND)> act;
};

struct Script {
    std::vector<Step> steps;
    size_t next;
    int waited;
    std::string failure;
    HWND keep;   // a modeless dialog of the test that is never the front one
};
Script* running;
const int kTickMs = 25;
const int kDeadlineTicks = 400;

BOOL CALLBACK FindFront(HWND w, LPARAM found)
{
    wchar_t cls[16] = L"";
    GetClassNameW(w, cls, 16);
    if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(w) || !IsWindowEnabled(w) || w == running->keep)
        return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

bool Matches(HWND w, const std::string& expect)
{
    if (expect == kColourDialog) return GetDlgItem(w, kColourRed) != nullptr;
    if (expect == kMessageBox) return Caption(w) == g.titleText && GetDlgItem(w, kColourRed) == nullptr;
    return Caption(w) == expect;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD)
{
    Script& s = *running;
    HWND front = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindFront, reinterpret_cast<LPARAM>(&front));
    if (!s.failure.empty() || s.next >= s.steps.size()) {
        // Whatever is still open after the script closes, so the test ends.
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
        step.act(front);   // may open a nested dialog, whose steps run from inside
        return;
    }
    if (++s.waited > kDeadlineTicks)
        s.failure = "step " + std::to_string(s.next) + " never saw " + step.expect +
                    (front ? " (in front: " + Caption(front) + ")" : "");
}

// Runs start (which opens the first dialog and returns when it closed)
// while the script acts on the dialogs; every step has a deadline.
void RunScript(std::vector<Step> steps, const std::function<void()>& start, HWND keep = nullptr)
{
    Script s = {std::move(steps), 0, 0, "", keep};
    running = &s;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, Drive);
    start();
    KillTimer(nullptr, timer);
    running = nullptr;
    EXPECT_EQ(s.failure, "");
    EXPECT_EQ(s.next, s.steps.size()) << "steps left undone";
}

// With KELMORA_SHOTS naming a folder, a dialog is saved there as a
// picture of the screen, to be looked at as the user sees it.
void SaveShot(HWND w, const std::string& name)
{
    char folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("KELMORA_SHOTS", folder, sizeof folder);
    if (n == 0 || n >= sizeof folder) return;
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    Sleep(300);   // the display server shows what was drawn a moment later
    RECT r;
    GetWindowRect(w, &r);
    int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP picture = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && picture) {
        HGDIOBJ old = SelectObject(memory, picture);
        BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        SelectObject(memory, old);
        DWORD size = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
        BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info + size), 0, 0,
                                 static_cast<DWORD>(sizeof file + sizeof info)};
        std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
        bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
        bytes.append(static_cast<const char*>(bits), size);
        WriteFileBytes(std::string(folder) + "\\" + name + ".bmp", bytes);
    }
    if (picture) DeleteObject(picture);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

struct PageKind {
    int resource;
    DLGPROC procedure;
    const char* caption;
};
const PageKind kFade = {IDD_FADE_PAGE, FadePageProc, kFadeCaption};
const PageKind kFont = {IDD_FONT_PAGE, FontPageProc, kFontCaption};
const PageKind kTextColours = {IDD_TEXTCOLOR_PAGE, TextColorPageProc, kTextColourCaption};
const PageKind kBackColours = {IDD_BACKCOLOR_PAGE, BackColorPageProc, kBackColourCaption};

INT_PTR OpenPage(const PageKind& page)
{
    return DialogBoxParamW(g.instance, MAKEINTRESOURCEW(page.resource), nullptr, page.procedure, 0);
}

// Runs the steps on a page opened on its own, as the main dialog opens it.
INT_PTR RunPage(const PageKind& page, std::vector<Step> steps)
{
    INT_PTR result = -2;
    RunScript(std::move(steps), [&] { result = OpenPage(page); });
    return result;
}

Step OnPage(const PageKind& page, std::function<void(HWND)> act) { return {page.caption, std::move(act)}; }
Step Press(const PageKind& page, int id)
{
    return {page.caption, [id](HWND w) { Press(w, id); }};
}
// The message box in front: its texts are kept in *seen, then it is closed.
Step AnswerBox(std::vector<std::string>* seen)
{
    return {kMessageBox, [seen](HWND w) {
                *seen = ChildTexts(w);
                Press(w, IDOK);
            }};
}
Step PickColour(COLORREF colour)
{
    return {kColourDialog, [colour](HWND w) {
                SetDlgItemInt(w, kColourRed, GetRValue(colour), FALSE);
                SetDlgItemInt(w, kColourRed + 1, GetGValue(colour), FALSE);
                SetDlgItemInt(w, kColourRed + 2, GetBValue(colour), FALSE);
                Press(w, IDOK);
            }};
}

struct PageTest : testing::Test {
    void SetUp() override
    {
        FreshSaverState();
        DeleteSettingsKey();
        LoadStartupStrings();   // the boxes take their caption from it
    }
    void TearDown() override
    {
        PumpMessages();
        SetSettingsKeyAccess(KEY_ALL_ACCESS);
        DeleteSettingsKey();
    }
};
}

// ---- Main dialog buttons and the version box ----

TEST_F(PageTest, PageButtonsOpenTheirPagesAndMostGiveTheFocusBackToOk)
{
    HWND dialog = CreateDialogParamW(g.instance, MAKEINTRESOURCEW(IDD_CONFIGURE), nullptr, ScreenSaverConfigureDialog, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
    PumpMessages();
    SaveShot(dialog, "main");
    struct Case {
        int line;
        int button;
        const char* caption;
        int closeWith;
        bool focusToOk;
    } cases[] = {
        {__LINE__, IDC_FADE_PAGE, kFadeCaption, IDCANCEL, true},
        {__LINE__, IDC_COLOR_PAGE, kTextColourCaption, IDCANCEL, true},
        {__LINE__, IDC_FONT_PAGE, kFontCaption, IDCANCEL, true},
        {__LINE__, IDC_BACK_PAGE, kBackColourCaption, IDCANCEL, true},
        {__LINE__, IDC_VERSION, kVersionCaption, IDOK, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetFocus(GetDlgItem(dialog, IDC_FILEPATH));
        bool stayedOpen = false;
        std::vector<std::string> texts;
        RunScript({{c.caption,
              [&](HWND w) {
                  SaveShot(w, "page-" + std::to_string(c.button));
                  texts = ChildTexts(w);
                  // Esc and the close box: the pages close, the version box does not.
                  SendMessageW(w, WM_COMMAND, IDCANCEL, 0);
                  SendMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0);
                  stayedOpen = IsWindowVisible(w) != FALSE;
                  if (stayedOpen) Press(w, c.closeWith);
              }}},
            [&] { Press(dialog, c.button); }, dialog);
        EXPECT_EQ(stayedOpen, c.closeWith == IDOK);
        EXPECT_EQ(GetFocus() == GetDlgItem(dialog, IDOK), c.focusToOk);
        if (c.button == IDC_VERSION) {
            EXPECT_TRUE(Contains(texts, kVersionLine));
            EXPECT_TRUE(Contains(texts, "for Win32"));
        }
    }
    DestroyWindow(dialog);
}

TEST_F(PageTest, VersionBoxShowsTheProgramIconAndTheLogo)
{
    HWND box = CreateDialogParamW(g.instance, MAKEINTRESOURCEW(IDD_VERSION), nullptr, VersionBoxProc, 0);
    ASSERT_NE(box, nullptr);
    int icons = 0;
    BITMAP logo = {};
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (SendMessageW(c, STM_GETICON, 0, 0)) ++icons;
        HGDIOBJ bitmap = reinterpret_cast<HGDIOBJ>(SendMessageW(c, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (bitmap) GetObjectW(bitmap, sizeof logo, &logo);
    }
    EXPECT_EQ(icons, 1);
    EXPECT_EQ(logo.bmWidth, 99);
    EXPECT_EQ(logo.bmHeight, 50);
    DestroyWindow(box);
}

// ---- Fade page ----

TEST_F(PageTest, FadePageOpensWithTheStoredTransitions)
{
    struct Case {
        int line;
        const char* stored;   // nullptr: no value
        DWORD fadeInOut;
        std::vector<std::string> chosen;
    } cases[] = {
        {__LINE__, "14,03,07,", 1, {kTransitionNames[3], kTransitionNames[7], kTransitionNames[14]}},
        {__LINE__, "03,03,", 0, {kTransitionNames[3], kTransitionNames[3]}},   // listed as stored
        {__LINE__, "", 0, {kTransitionNames[0]}},
        {__LINE__, "15,99,", 0, {kTransitionNames[0]}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DeleteSettingsKey();
        SetSettingText("Fade", c.stored);
        SetSettingDword("FadeInOut", c.fadeInOut);
        std::vector<std::string> candidates, chosen;
        UINT checked = 99;
        RunPage(kFade, {OnPage(kFade, [&](HWND w) {
                            candidates = ListTexts(GetDlgItem(w, IDC_CANDIDATES));
                            chosen = ListTexts(GetDlgItem(w, IDC_CHOSEN_FADES));
                            checked = IsDlgButtonChecked(w, IDC_FADEINOUT);
                            Press(w, IDCANCEL);
                        })});
        EXPECT_EQ(candidates.size(), 15u);
        EXPECT_EQ(chosen, c.chosen);
        EXPECT_EQ(checked, c.fadeInOut ? static_cast<UINT>(BST_CHECKED) : static_cast<UINT>(BST_UNCHECKED));
    }
}

TEST_F(PageTest, FadePageButtonsBuildTheListAndOkStoresItInListOrder)
{
    auto add = [](int kind) {
        return OnPage(kFade, [kind](HWND w) {
            ASSERT_TRUE(Select(GetDlgItem(w, IDC_CANDIDATES), kTransitionNames[kind]));
            Press(w, IDC_ADD);
        });
    };
    // Everything removed: the empty text is stored, and transition 0 comes back alone.
    std::vector<Step> clear;
    for (int i = 0; i < 15; ++i)
        clear.push_back(OnPage(kFade, [](HWND w) {
            SendDlgItemMessageW(w, IDC_CHOSEN_FADES, LB_SETCURSEL, 0, 0);
            Press(w, IDC_REMOVE);
        }));
    clear.push_back(Press(kFade, IDC_REMOVE));   // nothing selected: nothing happens
    clear.push_back(Press(kFade, IDOK));
    EXPECT_EQ(RunPage(kFade, clear), 1);
    EXPECT_EQ(Stored("Fade"), "");
    EXPECT_EQ(StoredNumber("FadeInOut"), 0u);
    EXPECT_EQ(g.settings.FadeCount, 1);

    std::vector<std::string> chosen;
    EXPECT_EQ(RunPage(kFade, {OnPage(kFade,
                                     [&](HWND w) {
                                         chosen = ListTexts(GetDlgItem(w, IDC_CHOSEN_FADES));
                                         SendDlgItemMessageW(w, IDC_CHOSEN_FADES, LB_SETCURSEL, 0, 0);
                                         Press(w, IDC_REMOVE);
                                     }),
                              add(14), add(3), add(7), add(3), add(14),
                              OnPage(kFade,
                                     [](HWND w) {
                                         SendDlgItemMessageW(w, IDC_CANDIDATES, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                                         Press(w, IDC_ADD);   // nothing selected: nothing happens
                                         CheckDlgButton(w, IDC_FADEINOUT, BST_CHECKED);
                                         Press(w, IDOK);
                                     })}),
              1);
    EXPECT_EQ(chosen, std::vector<std::string>{kTransitionNames[0]});
    EXPECT_EQ(Stored("Fade"), "03,07,14,");
    EXPECT_EQ(StoredNumber("FadeInOut"), 1u);
    EXPECT_EQ(std::string(g.settings.FadeCodes), "030714");   // reloaded after storing

    // Cancel keeps nothing of what was done on the page.
    RunPage(kFade, {add(5), Press(kFade, IDCANCEL)});
    EXPECT_EQ(Stored("Fade"), "03,07,14,");
}

// ---- Font page ----

TEST_F(PageTest, FontPageOffersJapaneseTrueTypeFacesAndRefusesPrefixes)
{
    std::vector<std::string> candidates;
    RunPage(kFont, {OnPage(kFont, [&](HWND w) {
                        candidates = ListTexts(GetDlgItem(w, IDC_CANDIDATES));
                        Press(w, IDCANCEL);
                    })});
    // The test prefix maps the Japanese faces onto the IPA fonts.
    EXPECT_TRUE(Contains(candidates, "IPAGothic") || Contains(candidates, "IPAMincho")) << candidates.size();
    EXPECT_LE(candidates.size(), 30u);
    for (const std::string& face : candidates) {
        EXPECT_NE(face[0], '@') << face;
        EXPECT_LT(face.size(), 30u) << face;
    }
    ASSERT_FALSE(candidates.empty());

    // A candidate that begins an already chosen face is not added again.
    const std::string face = candidates[0];
    SetSettingText("Font", (face + "X,").c_str());
    std::vector<std::string> chosen;
    EXPECT_EQ(RunPage(kFont, {OnPage(kFont,
                                     [&](HWND w) {
                                         ASSERT_TRUE(Select(GetDlgItem(w, IDC_CANDIDATES), face.c_str()));
                                         Press(w, IDC_ADD);
                                         chosen = ListTexts(GetDlgItem(w, IDC_CHOSEN_FONTS));
                                         SendDlgItemMessageW(w, IDC_CHOSEN_FONTS, LB_SETCURSEL, 0, 0);
                                         Press(w, IDC_REMOVE);
                                         Press(w, IDC_ADD);
                                         Press(w, IDOK);
                                     })}),
              1);
    EXPECT_EQ(chosen, std::vector<std::string>{face + "X"});
    EXPECT_EQ(Stored("Font"), face + ",");
    EXPECT_EQ(g.settings.FontCount, 1);
}

TEST_F(PageTest, FontPageStoresNineteenFontsAndRefusesTwenty)
{
    struct Case {
        int line;
        int fonts;
        bool refused;
    } cases[] = {{__LINE__, 19, false}, {__LINE__, 20, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        std::string text;
        for (int i = 0; i < c.fonts; ++i) text += "F" + std::to_string(100 + i) + ",";
        SetSettingText("Font", text.c_str());
        std::vector<std::string> box;
        std::vector<Step> steps = {Press(kFont, IDOK)};
        if (c.refused) steps.insert(steps.end(), {AnswerBox(&box), Press(kFont, IDCANCEL)});
        EXPECT_EQ(RunPage(kFont, steps), c.refused ? 0 : 1);
        EXPECT_EQ(Contains(box, kEm052), c.refused);
        EXPECT_EQ(Stored("Font"), text);   // sorted names: stored as they were
    }
}

// ---- Colour pages ----

TEST_F(PageTest, ColourPagesDrawTheStoredColoursAsFramedSwatches)
{
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    struct Case {
        int line;
        const PageKind* page;
        const char* value;
        const char* stored;
        std::vector<uint32_t> swatches;
    } cases[] = {
        {__LINE__, &kTextColours, "Color", "255,65280,16711680,", {255, 65280, 16711680}},   // stored order kept
        {__LINE__, &kTextColours, "Color", "0,", {16777215}},   // black is read as white
        {__LINE__, &kBackColours, "Back", "0,", {0}},
        {__LINE__, &kBackColours, "Back", "", {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetSettingText(c.value, c.stored);
        std::vector<uint32_t> data, centres;
        COLORREF outline = 1, selected = 1, unselected = 1;
        RunPage(*c.page, {OnPage(*c.page, [&](HWND w) {
                    HWND list = GetDlgItem(w, IDC_SWATCHES);
                    data = ListColours(list);
                    SendMessageW(list, LB_SETCURSEL, 0, 0);
                    UpdateWindow(list);
                    RECT item;
                    for (int i = 0; i < static_cast<int>(data.size()); ++i) {
                        SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                        EXPECT_EQ(item.bottom - item.top, 30);
                        centres.push_back(PixelAt(list, (item.left + item.right) / 2, (item.top + item.bottom) / 2));
                    }
                    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
                    int x = (item.left + item.right) / 2;
                    outline = PixelAt(list, x, item.top + 3);
                    selected = PixelAt(list, x, item.top + 1);
                    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
                    UpdateWindow(list);
                    unselected = PixelAt(list, x, item.top + 1);
                    Press(w, IDCANCEL);
                })});
        EXPECT_EQ(data, c.swatches);
        EXPECT_EQ(centres, c.swatches);
        EXPECT_EQ(outline, RGB(0, 0, 0));
        EXPECT_EQ(selected, RGB(0, 0, 0));
        EXPECT_EQ(unselected, window);
    }
}

TEST_F(PageTest, ColourPagesStoreWhatTheColourDialogGave)
{
    struct Case {
        int line;
        const PageKind* page;
        const char* value;
        const char* before;
        std::vector<COLORREF> picks;   // each through the colour dialog
        int removeAt;                  // -1: none
        const char* stored;
        uint32_t reloadedFirst;
    } cases[] = {
        {__LINE__, &kTextColours, "Color", "255,", {RGB(0, 0, 0), RGB(1, 2, 3)}, 0, "0,197121,", 16777215},
        {__LINE__, &kBackColours, "Back", "255,", {RGB(0, 0, 0)}, 0, "0,", 0},
        {__LINE__, &kBackColours, "Back", "5,", {}, 0, "", 0},   // all removed
        // Loaded from another tool with more than 30: the first 30 are kept.
        {__LINE__, &kTextColours, "Color",
         "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,", {}, -1,
         "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetSettingText(c.value, c.before);
        std::vector<Step> steps;
        for (COLORREF pick : c.picks) steps.insert(steps.end(), {Press(*c.page, IDC_ADD_COLOUR), PickColour(pick)});
        // Cancelled colour dialog: nothing is added.
        if (!c.picks.empty())
            steps.insert(steps.end(), {Press(*c.page, IDC_ADD_COLOUR), {kColourDialog, [](HWND w) { Press(w, IDCANCEL); }}});
        int removeAt = c.removeAt;
        steps.push_back(OnPage(*c.page, [removeAt](HWND w) {
            if (removeAt >= 0) SendDlgItemMessageW(w, IDC_SWATCHES, LB_SETCURSEL, static_cast<WPARAM>(removeAt), 0);
            Press(w, IDC_REMOVE_COLOUR);
            Press(w, IDOK);
        }));
        EXPECT_EQ(RunPage(*c.page, steps), 1);
        EXPECT_EQ(Stored(c.value), c.stored);
        std::vector<uint32_t> reopened;
        RunPage(*c.page, {OnPage(*c.page, [&](HWND w) {
                    reopened = ListColours(GetDlgItem(w, IDC_SWATCHES));
                    Press(w, IDCANCEL);
                })});
        ASSERT_FALSE(reopened.empty());
        EXPECT_EQ(reopened[0], c.reloadedFirst);
    }
}

TEST_F(PageTest, ColourPagesRefuseThe31stColourBeforeTheColourDialog)
{
    std::string thirty;
    for (int i = 1; i <= 30; ++i) thirty += std::to_string(i) + ",";
    SetSettingText("Back", thirty.c_str());
    std::vector<std::string> box;
    std::vector<uint32_t> after;
    RunPage(kBackColours, {Press(kBackColours, IDC_ADD_COLOUR), AnswerBox(&box),
                           OnPage(kBackColours,
                                  [&](HWND w) {
                                      after = ListColours(GetDlgItem(w, IDC_SWATCHES));
                                      SendDlgItemMessageW(w, IDC_SWATCHES, LB_SETCURSEL, 0, 0);
                                      Press(w, IDC_REMOVE_COLOUR);
                                      Press(w, IDC_ADD_COLOUR);
                                  }),
                           PickColour(RGB(9, 0, 0)), Press(kBackColours, IDOK)});
    EXPECT_TRUE(Contains(box, kEm051));
    EXPECT_EQ(after.size(), 30u);
    EXPECT_EQ(Stored("Back"), thirty.substr(2) + "9,");
}

// A list the loader could not read back is never stored, nor lost
// silently: the user is told and the page stays open.
TEST_F(PageTest, ColourListsTooLongToReadBackAreRefusedWithAMessage)
{
    std::string fourteenWhites;
    for (int i = 0; i < 14; ++i) fourteenWhites += "16777215,";   // 126 bytes
    std::string manyBlacks;
    for (int i = 0; i < 32; ++i) manyBlacks += "0,";   // loads as 32 whites
    struct Case {
        int line;
        const char* stored;
        bool add;   // else OK
        std::vector<uint32_t> listAfter;
    } cases[] = {
        {__LINE__, fourteenWhites.c_str(), true, std::vector<uint32_t>(14, 16777215)},
        {__LINE__, manyBlacks.c_str(), false, std::vector<uint32_t>(32, 16777215)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SetSettingText("Color", c.stored);
        std::vector<std::string> box;
        std::vector<uint32_t> after;
        std::vector<Step> steps;
        if (c.add) steps = {Press(kTextColours, IDC_ADD_COLOUR), PickColour(RGB(1, 0, 0))};
        else steps = {Press(kTextColours, IDOK)};
        steps.insert(steps.end(), {AnswerBox(&box), OnPage(kTextColours, [&](HWND w) {
                                       after = ListColours(GetDlgItem(w, IDC_SWATCHES));
                                       Press(w, IDCANCEL);
                                   })});
        RunPage(kTextColours, steps);
        EXPECT_TRUE(Contains(box, kTooLong));
        EXPECT_EQ(after, c.listAfter);
        EXPECT_EQ(Stored("Color"), c.stored);
    }
}

// ---- Every storing page ----

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
        std::vector<std::string> box;
        EXPECT_EQ(RunPage(*page, {Press(*page, IDOK), AnswerBox(&box), Press(*page, IDCANCEL)}), 0);
        EXPECT_FALSE(box.empty());
    }
    SetSettingsKeyAccess(KEY_ALL_ACCESS);
    EXPECT_EQ(Stored("Back"), "5,");
    EXPECT_EQ(Stored("Fade"), "<missing>");
}

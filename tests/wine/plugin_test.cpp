#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/common/plugin_host_win.h"
#include "saver/saver_state.h"
#include "saver/sayings/sayings_win.h"
#include "tests/wine/wine_test_util.h"

#include <fstream>
#include <string>
#include <vector>

namespace {
const int kWidth = 320, kHeight = 240;
const int kDisplay = 1;   // ticks a text stands; a text lasts kDisplay + 62

std::string TestPlugin(const char* name, const char* folder = "testplugins")
{
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, n);
    return path.substr(0, path.find_last_of('\\') + 1) + folder + "\\" + name + ".dll";
}

// Library files of processors the saver has no host for: a 16-bit one
// (no "PE" header at all) and an ARM64 one.
std::string ForeignLibrary(const std::string& kind)
{
    const std::string header = kind == "16bit" ? std::string("NE\0\0", 4) : std::string("PE\0\0\x64\xAA", 6);
    return "MZ" + std::string(0x3A, '\0') + std::string("\x40\0\0\0", 4) + header + std::string(0x40, '\0');
}

// What one pass of the show over the plug-in item gave: the longest line
// of each text laid out, the numbered messages, and the procedures the
// plug-in saw called.
struct Visit {
    std::vector<uint32_t> texts;
    std::vector<std::string> codes;
    std::string calls;
    bool messagesDrawn = true;
    bool ended = false;
    bool leftWindowAnswered = true;   // a window the plug-in left behind, between calls
    std::vector<DWORD> hosts;   // started for the visit
};

bool WhiteAtLeft(HWND w)
{
    HDC dc = GetDC(w);
    bool found = false;
    for (int y = 0; y < kHeight && !found; ++y)
        for (int x = 0; x < 12 && !found; ++x) found = GetPixel(dc, x, y) == RGB(255, 255, 255);
    ReleaseDC(w, dc);
    return found;
}

// Ticks up to and through the next plug-in item, until the item after it
// has started. A tick spent waiting for the host's answer is not counted,
// only the time is bounded.
Visit VisitPlugin(HWND saver)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string trail = std::string(temp) + "kelmora_tg_trail.txt";
    DeleteFileA(trail.c_str());
    SetEnvironmentVariableA("TG_TRAIL", trail.c_str());
    Visit v;
    bool inPlugin = false;
    const ULONGLONG deadline = GetTickCount64() + 60000;
    for (int tick = 0; tick < 8 * (kDisplay + 62) && GetTickCount64() < deadline; ++tick) {
        g.errorText[0] = '\0';
        if (g.pluginHost.awaiting) {
            Sleep(5);
            --tick;
        }
        Tick(saver, 1);
        // Only while the host has nothing to do but wait for the next call.
        const bool idle = g.pluginTicks && g.pluginHost.process && !g.pluginHost.awaiting;
        HWND left = idle ? FindWindowW(L"Static", L"tg_hostile") : nullptr;
        DWORD_PTR answer = 0;
        if (left && v.leftWindowAnswered)
            v.leftWindowAnswered = SendMessageTimeoutW(left, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
        const DWORD host = g.pluginHost.processId;
        if (host && (v.hosts.empty() || v.hosts.back() != host)) v.hosts.push_back(host);
        if (g.currentKind != 6) {
            if (inPlugin) {
                v.ended = true;
                break;
            }
            continue;
        }
        inPlugin = true;
        if (g.textTicks == 1) v.texts.push_back(LastTextPlacement().maxLen);
        if (g.errorText[0]) {
            v.codes.push_back(std::string(g.errorText, 5));
            v.messagesDrawn = v.messagesDrawn && WhiteAtLeft(saver);
        }
    }
    std::ifstream calls(trail, std::ios::binary);
    v.calls.assign(std::istreambuf_iterator<char>(calls), std::istreambuf_iterator<char>());
    SetEnvironmentVariableA("TG_TRAIL", nullptr);
    return v;
}

struct PluginShowTest : SaverWindowTest {
    std::string folder;
    std::string plugin;
    void SetUp() override
    {
        SaverWindowTest::SetUp();
        for (const char* name : {"TG_HOSTILE", "TG_THREE_SIZE", "TG_THREE_FAIL", "TG_CALLS", "TG_SLEEP"})
            SetEnvironmentVariableA(name, nullptr);
        // Room for a host's cold start on a busy machine, short enough
        // that the hanging plug-ins cost the run only seconds.
        SetPluginAnswerLimit(3000);
        folder = MakeTempFolder("plugin");
        plugin = folder + "\\A.DLL";
        WriteFileBytes(folder + "\\B.TXT", "next");
        SetSettingDword("Opening", 0);
        SetSettingDword("Display", kDisplay);
        SetSettingText("FilePath", folder.c_str());
        SetSettingText("Back", "16711680,");    // blue
        SetSettingText("Color", "65535,");      // yellow: no white but the messages
    }
    void TearDown() override
    {
        SaverWindowTest::TearDown();
        SetPluginAnswerLimit(0);
        RemoveTree(folder);
    }
    void ExpectNothingHeld()
    {
        EXPECT_EQ(g.pluginHost.process, nullptr);
        EXPECT_EQ(g.procNames, nullptr);
        EXPECT_EQ(g.textBuffer, nullptr);
        EXPECT_EQ(g.pluginTicks, 0u);
        EXPECT_EQ(GetModuleHandleA(plugin.c_str()), nullptr) << "the library came into the saver";
    }
    // Each visit of rows below, checked alike.
    void ExpectVisits(int line, const char* var, const char* value, const std::vector<uint32_t>& texts,
                      const std::vector<std::string>& codes, const char* calls, bool hosted = true)
    {
        if (var) SetEnvironmentVariableA(var, value);
        ASSERT_NO_FATAL_FAILURE(OpenSaver(kWidth, kHeight));
        for (int visit = 0; visit < 2; ++visit) {
            Visit v = VisitPlugin(saver);
            EXPECT_TRUE(v.ended) << "line " << line << ", visit " << visit;
            EXPECT_EQ(v.texts, texts) << "line " << line << ", visit " << visit;
            EXPECT_EQ(v.codes, codes) << "line " << line << ", visit " << visit;
            EXPECT_TRUE(v.messagesDrawn) << "line " << line << ", visit " << visit;
            EXPECT_TRUE(v.leftWindowAnswered) << "line " << line << ", visit " << visit;
            EXPECT_EQ(v.calls, calls) << "line " << line << ", visit " << visit;
            // The show went on to the words file after the plug-in.
            EXPECT_EQ(g.currentKind, 1u) << "line " << line;
            EXPECT_EQ(Narrow932(g.currentPath), folder + "\\B.TXT") << "line " << line;
            ExpectNothingHeld();
            // One host a visit, and none left behind, whatever the plug-in did.
            EXPECT_EQ(v.hosts.size(), hosted ? 1u : 0u) << "line " << line;
            EXPECT_TRUE(ProcessesEnd(v.hosts, 5000)) << "line " << line << ": a host outlived its visit";
        }
        DestroyWindow(host);
        host = nullptr;
        PumpMessages();
        if (var) SetEnvironmentVariableA(var, nullptr);
    }
};
}

// Each row runs two visits: a failure releases everything, so the second
// visit loads the plug-in afresh and starts again from its first entry.
TEST_F(PluginShowTest, EachVisitShowsTheNamedTextsInBlockOrderOrItsNumberedMessage)
{
    using T = std::vector<uint32_t>;
    using C = std::vector<std::string>;
    const struct {
        int line;
        const char* library;   // null: a file that is no library
        const char* var;
        const char* value;
        T texts;
        C codes;
        const char* calls;
    } rows[] = {
        {__LINE__, "tg_three", nullptr, nullptr, T{4, 8, 12}, C{}, "One;Two;Three;"},
        {__LINE__, "tg_three", "TG_THREE_SIZE", "50", T{4, 8, 12}, C{}, "One;Two;Three;"},
        {__LINE__, "tg_three", "TG_THREE_SIZE", "19", T{4}, C{}, "One;"},
        {__LINE__, "tg_three", "TG_THREE_SIZE", "0", T{}, C{"Em042"}, ""},
        {__LINE__, "tg_three", "TG_THREE_FAIL", "2", T{4}, C{"Em043"}, "One;Two;"},
        {__LINE__, nullptr, nullptr, nullptr, T{}, C{"Em040"}, ""},
        {__LINE__, "tg_noentry", nullptr, nullptr, T{}, C{"Em041"}, ""},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "nonames", T{}, C{"Em042"}, ""},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "nohandle", T{}, C{"Em042"}, ""},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "short", T{6}, C{}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "unterminated", T{}, C{"Em042"}, ""},
        // The name runs past its entry; that it is exported changes nothing.
        {__LINE__, "tg_hostile", "TG_HOSTILE", "longname", T{}, C{"Em042"}, ""},
        // A size beyond the block: only the entries the block holds.
        {__LINE__, "tg_hostile", "TG_HOSTILE", "oversize", T{6, 6}, C{}, "Text;Text;"},
        // A length beyond the text block: cut to the bytes that came, not
        // to the saver's copy of them.
        {__LINE__, "tg_hostile", "TG_HOSTILE", "bigtext", T{12}, C{}, "Text;"},
        // A window and timer made in one call still live in the next, and
        // the window answers in between.
        {__LINE__, "tg_hostile", "TG_HOSTILE", "window", T{6, 6}, C{}, "Text;Served;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "nullhandle", T{}, C{"Em043"}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "failwithblock", T{}, C{"Em043"}, "Text;"},
        // What would have ended or frozen the saver when plug-ins ran in it.
        {__LINE__, "tg_hostile", "TG_HOSTILE", "fault", T{}, C{"Em045"}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "nfault", T{}, C{"Em045"}, ""},
        // The loader catches a fault of the library's start: it does not load.
        {__LINE__, "tg_hostile", "TG_HOSTILE", "lfault", T{}, C{"Em040"}, ""},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "hang", T{}, C{"Em045"}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "exit", T{}, C{"Em045"}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "huge", T{6}, C{}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "print", T{6}, C{}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "threads", T{6}, C{}, "Text;"},
        // No host at all for processors the saver cannot host.
        {__LINE__, nullptr, nullptr, "16bit", T{}, C{"Em040"}, ""},
        {__LINE__, nullptr, nullptr, "arm64", T{}, C{"Em040"}, ""},
    };
    for (const auto& r : rows) {
        FreshSaverState();
        if (r.library) {
            ASSERT_TRUE(CopyFileA(TestPlugin(r.library).c_str(), plugin.c_str(), FALSE)) << TestPlugin(r.library);
        } else {
            WriteFileBytes(plugin, r.value ? ForeignLibrary(r.value) : "MZ but not really a library");
        }
        ExpectVisits(r.line, r.var, r.value, r.texts, r.codes, r.calls, r.library != nullptr);
    }
}

// The plug-ins people have are mostly 32-bit; the 64-bit saver shows them
// through the 32-bit host (and the 32-bit saver shows 64-bit ones through
// the 64-bit host where Windows is 64-bit).
TEST_F(PluginShowTest, APluginOfTheOtherBitnessShowsItsTexts)
{
    const bool wide = sizeof(void*) == 8;
    const wchar_t* otherHost = wide ? L"KELMTG32.EXE" : L"KELMTG64.EXE";
    const std::string other = TestPlugin("tg_three", wide ? "testplugins32" : "testplugins64");
    if (GetFileAttributesA(other.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << other << " is not built beside the tests (scripts/build puts it there)";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessW(BesideTests(otherHost).c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        GTEST_SKIP() << "this machine cannot run the other host (no 32-bit programs here)";
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);   // without pipes it ends at once
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(CopyFileA(other.c_str(), plugin.c_str(), FALSE));
    ExpectVisits(__LINE__, nullptr, nullptr, {4, 8, 12}, {}, "One;Two;Three;");
}

// A folder of one plug-in whose library is slow to let go: each visit's
// host loads it only once the last one has unloaded it, and the saver's
// end gives the last host the same time to do so.
TEST_F(PluginShowTest, EachVisitLoadsTheLibraryOnlyOnceTheLastHasLetItGo)
{
    DeleteFileA((folder + "\\B.TXT").c_str());
    ASSERT_TRUE(CopyFileA(TestPlugin("tg_hostile").c_str(), plugin.c_str(), FALSE));
    const std::string trail = folder + "\\trail.log";   // no kind the show takes
    SetEnvironmentVariableA("TG_TRAIL", trail.c_str());
    SetEnvironmentVariableA("TG_HOSTILE", "slowunload");
    ASSERT_NO_FATAL_FAILURE(OpenSaver(kWidth, kHeight));
    int visits = 0;
    for (const ULONGLONG deadline = GetTickCount64() + 30000; visits < 2 && GetTickCount64() < deadline;) {
        const bool loaded = g.pluginTicks != 0;
        if (g.pluginHost.awaiting || !loaded) Sleep(5);
        Tick(saver, 1);
        visits += loaded && g.pluginTicks == 0;
    }
    DestroyWindow(host);
    host = nullptr;
    PumpMessages();
    SetEnvironmentVariableA("TG_TRAIL", nullptr);
    SetEnvironmentVariableA("TG_HOSTILE", nullptr);
    std::ifstream calls(trail, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(calls), std::istreambuf_iterator<char>()),
              "Load;Text;Unload;Load;Text;Unload;");
}

TEST_F(PluginShowTest, ClosingInTheMiddleOfAPluginLetsItGo)
{
    ASSERT_TRUE(CopyFileA(TestPlugin("tg_three").c_str(), plugin.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(OpenSaver(kWidth, kHeight));
    // Into the second text, however long the host takes over its answers.
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!(g.procOffset == 20 && g.textTicks > 5) && GetTickCount64() < deadline) {
        if (g.pluginHost.awaiting) Sleep(5);
        Tick(saver, 1);
    }
    ASSERT_NE(g.pluginHost.process, nullptr);
    EXPECT_EQ(g.procOffset, 20u);
    const std::vector<DWORD> hosts = {g.pluginHost.processId};
    HGLOBAL names = g.procNames;   // held, so that its handle can be asked after
    SIZE_T namesBytes = GlobalSize(names);
    DestroyWindow(host);
    host = nullptr;
    PumpMessages();
    ExpectNothingHeld();
    EXPECT_TRUE(ProcessesEnd(hosts, 5000));
    // Freed: the handle is gone, or now holds another block of another
    // size; a block only forgotten would keep both.
    EXPECT_TRUE(GlobalFlags(names) == GMEM_INVALID_HANDLE || GlobalSize(names) != namesBytes);
}

TEST(PluginLoad, ABareNameIsNeverLookedUpAlongTheSearchPath)
{
    // The program's own folder comes first in the search path; a plug-in
    // name must not reach a library there from another current folder.
    std::string exeDir = TestPlugin("x").substr(0, TestPlugin("x").find("testplugins"));
    std::string decoy = exeDir + "TGDECOY.DLL";
    ASSERT_TRUE(CopyFileA(TestPlugin("tg_three").c_str(), decoy.c_str(), FALSE));
    char before[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    std::string folder = MakeTempFolder("loadpath");
    SetCurrentDirectoryA(folder.c_str());
    HMODULE bare = LoadPluginLibrary932("TGDECOY.DLL");
    HMODULE full = LoadPluginLibrary932(decoy.c_str());
    SetCurrentDirectoryA(before);
    EXPECT_EQ(bare, nullptr);
    EXPECT_NE(full, nullptr);
    if (bare) FreeLibrary(bare);
    if (full) FreeLibrary(full);
    DeleteFileA(decoy.c_str());
    RemoveTree(folder);
}

// A policy that refuses plug-ins: the file is passed over like one of no
// known kind, no host is started, and the words file after it is shown.
TEST_F(PluginShowTest, RefusedByPolicyNoHostStartsAndTheNextItemFollows)
{
    ASSERT_TRUE(CopyFileA(TestPlugin("tg_three").c_str(), plugin.c_str(), FALSE));
    SetPolicyDword(HKEY_LOCAL_MACHINE, L"AllowTextGenDLL", 0);
    ASSERT_NO_FATAL_FAILURE(OpenSaver(kWidth, kHeight));
    EXPECT_EQ(g.catalogue.count, 1u);
    for (int tick = 0; tick < 3 * (kDisplay + 62) && g.currentKind != KindTextGen; ++tick) Tick(saver, 1);
    EXPECT_EQ(g.currentKind, static_cast<uint32_t>(KindText));
    EXPECT_EQ(Narrow932(g.currentPath), folder + "\\B.TXT");
    EXPECT_EQ(g.pluginHost.processId, 0u);
    EXPECT_TRUE(ProcessesNamed(kOwnHost).empty());
    ExpectNothingHeld();
}

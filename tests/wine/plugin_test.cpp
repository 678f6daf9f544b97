#include <gtest/gtest.h>

#include "common/text932_win.h"
#include "saver/saver_state.h"
#include "saver/sayings/sayings_win.h"
#include "tests/wine/wine_test_util.h"

#include <string>
#include <vector>

namespace {
const int kWidth = 320, kHeight = 240;
const int kDisplay = 1;   // ticks a text stands; a text lasts kDisplay + 62

std::string TestPlugin(const char* name)
{
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, n);
    return path.substr(0, path.find_last_of('\\') + 1) + "testplugins\\" + name + ".dll";
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
// has started.
Visit VisitPlugin(HWND saver)
{
    SetEnvironmentVariableA("TG_CALLS", "");
    Visit v;
    bool inPlugin = false;
    for (int tick = 0; tick < 8 * (kDisplay + 62); ++tick) {
        g.errorText[0] = '\0';
        Tick(saver, 1);
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
    char calls[512] = "";
    GetEnvironmentVariableA("TG_CALLS", calls, sizeof calls);
    v.calls = calls;
    return v;
}

struct PluginShowTest : SaverWindowTest {
    std::string folder;
    std::string plugin;
    void SetUp() override
    {
        SaverWindowTest::SetUp();
        for (const char* name : {"TG_HOSTILE", "TG_THREE_SIZE", "TG_THREE_FAIL", "TG_CALLS"})
            SetEnvironmentVariableA(name, nullptr);
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
        RemoveTree(folder);
    }
    void ExpectNothingHeld()
    {
        EXPECT_EQ(g.pluginModule, nullptr);
        EXPECT_EQ(g.procNames, nullptr);
        EXPECT_EQ(g.textBuffer, nullptr);
        EXPECT_EQ(g.pluginTicks, 0u);
        EXPECT_EQ(GetModuleHandleA(plugin.c_str()), nullptr) << "the library stayed loaded";
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
        // A length beyond the text block: cut to the block.
        {__LINE__, "tg_hostile", "TG_HOSTILE", "bigtext", T{12}, C{}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "nullhandle", T{}, C{"Em043"}, "Text;"},
        {__LINE__, "tg_hostile", "TG_HOSTILE", "failwithblock", T{}, C{"Em043"}, "Text;"},
    };
    for (const auto& r : rows) {
        FreshSaverState();
        if (r.var) SetEnvironmentVariableA(r.var, r.value);
        if (r.library) {
            ASSERT_TRUE(CopyFileA(TestPlugin(r.library).c_str(), plugin.c_str(), FALSE)) << TestPlugin(r.library);
        } else {
            WriteFileBytes(plugin, "MZ but not really a library");
        }
        ASSERT_NO_FATAL_FAILURE(OpenSaver(kWidth, kHeight));
        for (int visit = 0; visit < 2; ++visit) {
            Visit v = VisitPlugin(saver);
            EXPECT_TRUE(v.ended) << "line " << r.line << ", visit " << visit;
            EXPECT_EQ(v.texts, r.texts) << "line " << r.line << ", visit " << visit;
            EXPECT_EQ(v.codes, r.codes) << "line " << r.line << ", visit " << visit;
            EXPECT_TRUE(v.messagesDrawn) << "line " << r.line << ", visit " << visit;
            EXPECT_EQ(v.calls, r.calls) << "line " << r.line << ", visit " << visit;
            // The show went on to the words file after the plug-in.
            EXPECT_EQ(g.currentKind, 1u) << "line " << r.line;
            EXPECT_EQ(Narrow932(g.currentPath), folder + "\\B.TXT") << "line " << r.line;
            ExpectNothingHeld();
        }
        DestroyWindow(host);
        host = nullptr;
        PumpMessages();
        if (r.var) SetEnvironmentVariableA(r.var, nullptr);
    }
}

TEST_F(PluginShowTest, ClosingInTheMiddleOfAPluginLetsItGo)
{
    ASSERT_TRUE(CopyFileA(TestPlugin("tg_three").c_str(), plugin.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(OpenSaver(kWidth, kHeight));
    Tick(saver, kDisplay + 62 + 5);   // into the second text
    ASSERT_NE(g.pluginModule, nullptr);
    EXPECT_EQ(g.procOffset, 20u);
    HGLOBAL names = g.procNames;   // held, so that its handle can be asked after
    SIZE_T namesBytes = GlobalSize(names);
    DestroyWindow(host);
    host = nullptr;
    PumpMessages();
    ExpectNothingHeld();
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

// Plug-in blocks as KELMGDBG reads them: a reported size is only a claim,
// every entry is listed ("!" marks one the saver refuses), texts are cut
// to their NUL or their block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/textgen_names.h"
#include "viewer/plugin_blocks.h"

namespace {
// Entries of exactly 20 bytes each, given as the bytes they hold.
std::string Entries(std::vector<std::string> entries)
{
    std::string block;
    for (std::string& e : entries) block += e.append(20 - e.size(), '\0');
    return block;
}
}

TEST(ViewerBlocks, NamesAreTakenOnlyInsideBothSizes)
{
    static ProcNameWalk list;
    const std::string three = Entries({"Zeta", "Alpha", "Mid"});
    const std::string twenty(20, 'N');
    struct Case {
        int line;
        std::string block;
        size_t blockBytes;  // as allocated; the walk must not look further
        unsigned reported;
        std::vector<std::string> names;
        int32_t refused;   // the entry the saver stops at, or -1
    } cases[] = {
        {__LINE__, three, 60, 60, {"Zeta", "Alpha", "Mid"}, -1},
        {__LINE__, three, 60, 44, {"Zeta", "Alpha", "Mid"}, -1},  // partial last entry holds its NUL
        {__LINE__, three, 60, 43, {"Zeta", "Alpha", "Mid"}, -1},  // ... or the block does past the size
        {__LINE__, three, 60, 0, {}, 0},
        {__LINE__, std::string("Abc\0", 4), 4, 4, {"Abc"}, -1},   // below one entry
        {__LINE__, three, 40, 60000, {"Zeta", "Alpha"}, -1},      // claims more than it holds
        {__LINE__, three.substr(0, 23), 23, 60000, {"Zeta", "!Alp"}, 1}, // "Alp" runs off the block
        {__LINE__, "Fine" + std::string(16, '\0') + twenty + Entries({"Last"}), 60, 60, {"Fine", "!" + twenty, "Last"}, 1},
        {__LINE__, Entries({std::string(19, 'x'), "", "Zeta", "Zeta"}), 80, 80, {std::string(19, 'x'), "!", "Zeta", "Zeta"}, 1},
        {__LINE__, Entries({"", "Zeta"}), 40, 40, {"!", "Zeta"}, 0},
        {__LINE__, Entries({"Zeta", "Mid", ""}), 60, 60, {"Zeta", "Mid", "!"}, 2},
        {__LINE__, "", 0, 40, {}, 0},                            // no block at all
    };
    for (const Case& c : cases) {
        std::vector<char> block(c.block.begin(), c.block.end());
        WalkProcNames(c.block.empty() ? nullptr : block.data(), c.blockBytes, static_cast<uint16_t>(c.reported), &list);
        std::vector<std::string> got;
        for (const ProcNameEntry& e : std::vector<ProcNameEntry>(list.entries, list.entries + list.count))
            got.push_back((e.verdict == kProcNameUsable ? "" : "!") + std::string(e.text));
        EXPECT_EQ(got, c.names) << "line " << c.line;
        EXPECT_EQ(FirstRefusedEntry(&list), c.refused) << "line " << c.line;
    }
}

TEST(ViewerBlocks, ShownTextStopsAtBlockOrTerminatorWhateverTheLength)
{
    struct Case {
        int line;
        std::string block;
        unsigned length;
        size_t shown;
    } cases[] = {
        {__LINE__, "cut-text", 60000, 8},
        {__LINE__, std::string("fine\0junk", 9), 60000, 4},
        {__LINE__, "abcdef", 3, 6},   // a short length does not cut
        {__LINE__, "", 10, 0},
    };
    for (const Case& c : cases) {
        std::vector<char> block(c.block.begin(), c.block.end());
        EXPECT_EQ(ShownTextBytes(block.empty() ? nullptr : block.data(), block.size()), c.shown)
            << "line " << c.line;
    }
}

#include <gtest/gtest.h>

#include "common/textgen_names.h"

#include <string>
#include <vector>

namespace {
// The names a host walk finds, entry by entry; "!" marks an entry refused.
std::vector<std::string> Walk(const std::string& block, uint16_t reported)
{
    std::vector<std::string> out;
    const uint32_t size = UsableNamesSize(reported, block.size());
    for (uint32_t offset = 0; offset < size; offset += kProcNameEntrySize) {
        char name[kProcNameEntrySize];
        bool ok = ProcNameAt(block.data(), block.size(), size, offset, name);
        out.push_back(ok ? std::string(name) : "!");
        if (!ok) EXPECT_EQ(name[0], '\0');
    }
    EXPECT_EQ(out.size(), ProcNameCount(size));
    char past[kProcNameEntrySize];
    EXPECT_FALSE(ProcNameAt(block.data(), block.size(), size, size, past));   // nothing begins at the size
    return out;
}

std::string Entry(const std::string& name) { return name + std::string(kProcNameEntrySize - name.size(), '\0'); }
}

TEST(NamesBlock, WalkTakesEveryEntryBelowTheSizeAndRefusesWhatIsNotAName)
{
    using N = std::vector<std::string>;
    const std::string three = Entry("One") + Entry("Two") + Entry("Three");
    const std::string nineteen(19, 'x');
    const struct {
        int line;
        std::string block;
        uint16_t reported;
        N names;
    } rows[] = {
        {__LINE__, three, 60, N{"One", "Two", "Three"}},
        // A partial last entry counts, and its name may run on into the
        // bytes the block has beyond the reported size.
        {__LINE__, three, 50, N{"One", "Two", "Three"}},
        {__LINE__, Entry("One") + Entry("Two") + Entry("ThirdLongerName"), 41, N{"One", "Two", "ThirdLongerName"}},
        {__LINE__, three, 40, N{"One", "Two"}},
        {__LINE__, three, 19, N{"One"}},
        {__LINE__, std::string("One\0", 4), 4, N{"One"}},
        {__LINE__, three, 0, N{}},
        {__LINE__, "", 20, N{}},
        // A size beyond the block walks only what the block holds.
        {__LINE__, Entry("One") + Entry("Two"), 400, N{"One", "Two"}},
        {__LINE__, Entry("One") + "Tw", 60, N{"One", "!"}},
        // Nineteen bytes is the longest name; twenty run into the next
        // entry and are no name, even though the next entry ends them.
        {__LINE__, Entry(nineteen) + Entry("Two"), 40, N{nineteen, "Two"}},
        {__LINE__, std::string(20, 'x') + Entry("Two"), 40, N{"!", "Two"}},
        {__LINE__, std::string(25, 'x') + std::string(15, '\0'), 40, N{"!", "xxxxx"}},
        // The last entry's NUL must lie in the block itself.
        {__LINE__, Entry("One") + "Two", 23, N{"One", "!"}},
        {__LINE__, Entry("") + Entry("Two"), 40, N{"!", "Two"}},
    };
    for (const auto& r : rows) EXPECT_EQ(Walk(r.block, r.reported), r.names) << "line " << r.line;
}

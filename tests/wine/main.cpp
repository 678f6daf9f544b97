#include <gtest/gtest.h>

#include "saver/saver_state.h"

#include <cstring>

// The child half of a test that needs a saver process faulting on purpose.
int RunFaultingSaver(const char* where);

int main(int argc, char** argv)
{
    ResetSaverState();
    if (argc == 3 && std::strcmp(argv[1], "--fault-inside-saver") == 0) return RunFaultingSaver(argv[2]);
    g.instance = GetModuleHandleW(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

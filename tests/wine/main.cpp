#include <gtest/gtest.h>

#include "saver/saver_state.h"

int main(int argc, char** argv)
{
    ResetSaverState();
    g.instance = GetModuleHandleW(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "saver/saver_state.h"

#include <cstring>

SaverState g;

void ResetSaverState()
{
    std::memset(&g, 0, sizeof g);
    g.wakeThreshold = 4;
    g.lastPasswordCheck = 0xFFFFFFFFu;
}

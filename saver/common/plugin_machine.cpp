#include "saver/common/plugin_machine.h"

uint32_t PeHeaderOffset(const uint8_t* head, size_t count)
{
    if (count < kDosHeaderSize || head[0] != 'M' || head[1] != 'Z') return 0;
    const uint32_t offset = static_cast<uint32_t>(head[0x3C]) | (static_cast<uint32_t>(head[0x3D]) << 8) |
                            (static_cast<uint32_t>(head[0x3E]) << 16) | (static_cast<uint32_t>(head[0x3F]) << 24);
    // Inside the DOS header would make the header its own signature; far
    // beyond is no file a linker writes.
    if (offset < kDosHeaderSize || offset > 0x10000000) return 0;
    return offset;
}

PluginMachine PeMachine(const uint8_t s[kPeSignatureBytes])
{
    if (s[0] != 'P' || s[1] != 'E' || s[2] != 0 || s[3] != 0) return PluginNotRunnable;
    switch (s[4] | (s[5] << 8)) {
    case 0x014C:
        return PluginX86;
    case 0x8664:
        return PluginX64;
    default:
        return PluginNotRunnable;
    }
}

// Which kind of processor a plug-in library was built for, read from its
// file header, so that the saver can start a host that is able to load it
// instead of finding out by a failed load.
#pragma once
#include <cstddef>
#include <cstdint>

enum PluginMachine {
    PluginNotRunnable = 0,   // no library of a processor we host (16-bit, ARM, garbage)
    PluginX86 = 1,
    PluginX64 = 2,
};

enum : uint32_t {
    kDosHeaderSize = 64,
    kPeSignatureBytes = 6,   // "PE\0\0" and the machine field after it
};

// From the first bytes of the file: the offset of the "PE" signature, or 0
// when the file does not start as a program file at all.
uint32_t PeHeaderOffset(const uint8_t* head, size_t count);

// From the 6 bytes at that offset: the machine, if it is one we host.
PluginMachine PeMachine(const uint8_t signature[kPeSignatureBytes]);

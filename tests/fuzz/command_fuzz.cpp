// Fuzz target of the command-line walk: any text (the platform hands over a
// terminated one, held here in a block of exactly its size) through the
// program-name skip, the option walk and the window-handle parse. Every
// pointer must stay inside the text, and the handle must be the decimal
// number the text starts with, or 0 when that does not fit.
#include "saver/host/command_line.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

uintptr_t Decimal(const char* p)
{
    unsigned __int128 value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > UINTPTR_MAX) return 0;
    }
    return static_cast<uintptr_t>(value);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096) return 0;
    char* line = static_cast<char*>(std::malloc(size + 1));
    std::memcpy(line, data, size);
    line[size] = '\0';
    const char* end = line + std::strlen(line);

    const char* arguments = ArgumentText(line);
    Require(arguments >= line && arguments <= end);
    Require(*arguments == '\0' || static_cast<unsigned char>(*arguments) > ' ');

    SaverCommand command = ParseSaverCommand(arguments);
    if (command.mode == ModePreview || command.mode == ModeChangePassword) {
        Require(command.rest > arguments && command.rest <= end);
        Require(*command.rest != ' ');
    }
    if (command.mode == ModePreview) Require(command.handle == Decimal(command.rest));
    else Require(command.handle == 0);
    Require(ParseWindowHandle(line) == Decimal(line));
    std::free(line);
    return 0;
}

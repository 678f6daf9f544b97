#include "saver/host/command_line.h"

#include "common/cp932.h"

const char* ArgumentText(const char* p)
{
    if (p == nullptr) return "";
    if (*p == '"') {
        p = NextChar932(p);
        while (*p != '\0' && *p != '"') p = NextChar932(p);
        if (*p == '"') p = NextChar932(p);
    } else if (static_cast<unsigned char>(*p) > ' ') {
        while (static_cast<unsigned char>(*p) > ' ') p = NextChar932(p);
    }
    while (*p != '\0' && static_cast<unsigned char>(*p) <= ' ') p = NextChar932(p);
    return p;
}

uintptr_t ParseWindowHandle(const char* text)
{
    const uintptr_t limit = ~static_cast<uintptr_t>(0);
    uintptr_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        uintptr_t digit = static_cast<uintptr_t>(*text - '0');
        if (value > (limit - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    return value;
}

namespace {
const char* SkipLetterAndBlanks(const char* p)
{
    ++p;
    while (*p == ' ') ++p;
    return p;
}
}

SaverCommand ParseSaverCommand(const char* p)
{
    SaverCommand command = {ModeUnknown, 0, ""};
    if (p == nullptr) p = "";
    for (;; ++p) {
        switch (*p) {
        case '\0':
            command.mode = ModeConfigure;
            return command;
        case ' ':
        case '-':
        case '/':
            continue;
        case 'a':
        case 'A':
            command.mode = ModeChangePassword;
            command.rest = SkipLetterAndBlanks(p);
            return command;
        case 'c':
        case 'C':
            command.mode = ModeConfigureOwned;
            return command;
        case 'p':
        case 'P':
        case 'l':
        case 'L':
            command.mode = ModePreview;
            command.rest = SkipLetterAndBlanks(p);
            command.handle = ParseWindowHandle(command.rest);
            return command;
        case 's':
        case 'S':
            command.mode = ModeRun;
            return command;
        default:
            command.mode = ModeUnknown;
            return command;
        }
    }
}

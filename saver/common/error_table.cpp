#include "saver/common/error_table.h"

namespace {
struct ErrorString {
    int code;
    unsigned stringId;
};

const ErrorString kErrorStrings[] = {
    {1, 1012},  {2, 1013},  {4, 1014},  {20, 1016}, {21, 1017}, {22, 1018}, {23, 1019},
    {25, 1020}, {26, 1021}, {27, 1022}, {28, 1023}, {29, 1024}, {40, 1025}, {41, 1026},
    {42, 1027}, {43, 1028}, {44, 1029}, {45, 1034}, {50, 1030}, {51, 1031}, {52, 1032}, {53, 1033},
    {998, 1015},
};
}

unsigned ErrorStringId(int code)
{
    for (const ErrorString& e : kErrorStrings)
        if (e.code == code) return e.stringId;
    return 0;
}

int ErrorTextY(int clientWidth, int clientHeight, int lineHeight)
{
    int y = clientWidth / 2;
    if (lineHeight < 0) lineHeight = 0;
    if (y + lineHeight > clientHeight) y = clientHeight - lineHeight;
    if (y < 0) y = 0;
    return y;
}

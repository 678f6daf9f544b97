#include <gtest/gtest.h>

#include "saver/common/error_table.h"

TEST(ErrorTable, EveryRaisedCodeHasItsString)
{
    struct Case {
        int line;
        int code;
        unsigned id;
    } cases[] = {
        {__LINE__, 1, 1012},   {__LINE__, 2, 1013},   {__LINE__, 4, 1014},   {__LINE__, 20, 1016},
        {__LINE__, 21, 1017},  {__LINE__, 22, 1018},  {__LINE__, 23, 1019},  {__LINE__, 25, 1020},
        {__LINE__, 26, 1021},  {__LINE__, 27, 1022},  {__LINE__, 28, 1023},  {__LINE__, 29, 1024},
        {__LINE__, 40, 1025},  {__LINE__, 41, 1026},  {__LINE__, 42, 1027},  {__LINE__, 43, 1028},
        {__LINE__, 44, 1029},  {__LINE__, 45, 1034},  {__LINE__, 50, 1030},  {__LINE__, 51, 1031},
        {__LINE__, 52, 1032},  {__LINE__, 53, 1033},
        {__LINE__, 998, 1015},
        // Codes between and beyond have no message.
        {__LINE__, 0, 0},      {__LINE__, 3, 0},      {__LINE__, 24, 0},     {__LINE__, 999, 0},
        {__LINE__, -1, 0},     {__LINE__, 1012, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorStringId(c.code), c.id) << "line " << c.line;
}

TEST(ErrorTable, MessageLineStaysOnTheScreen)
{
    struct Case {
        int line;
        int width, height, lineHeight;
        int y;
    } cases[] = {
        {__LINE__, 640, 480, 16, 320},    // half the width, not half the height
        {__LINE__, 1024, 768, 16, 512},
        {__LINE__, 320, 240, 16, 160},
        {__LINE__, 640, 336, 16, 320},    // the line just fits below W/2
        {__LINE__, 640, 335, 16, 319},
        {__LINE__, 1024, 300, 16, 284},   // wide window: moved up to stay visible
        {__LINE__, 100, 10, 16, 0},       // taller than the window: top edge, never above it
        {__LINE__, 640, 480, -5, 320},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorTextY(c.width, c.height, c.lineHeight), c.y) << "line " << c.line;
}

// A library with a text procedure but without the names procedure.
#include "tests/plugins/tg_plugin_util.h"

extern "C" WORD WINAPI Text(HGLOBAL* text)
{
    TgNoteCall("Text");
    *text = TgBlock("text", 5);
    return 4;
}

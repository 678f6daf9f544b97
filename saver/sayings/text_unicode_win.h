// Sayings of Unicode words files, drawn through DirectWrite: each
// character in the saying's face where that face has it, else in an
// installed face that does (the system's fallback first), at the size,
// width and baseline of the saying's GDI font. The GDI path of Shift-JIS
// texts never comes here.
#pragma once
#include <windows.h>

#include <cstdint>

enum UnicodeFontSlot { UnicodeMain = 0, UnicodeSub = 1, kUnicodeSlots = 2 };

// Takes the face, size and width of the GDI font for the slot (dc is a
// memory surface the font may be selected into). False when the platform
// has no DirectWrite or it cannot use that face: the caller draws through
// GDI then.
bool PrepareUnicodeFont(HDC dc, HFONT font, UnicodeFontSlot slot);

// A line's size as it will be drawn: its width, and the GDI font's height.
SIZE UnicodeExtent(UnicodeFontSlot slot, const char16_t* text, uint32_t length);

// Drawing happens between Begin and End, into the area of dc, in white on
// the black the area holds. With colour true (after the
// picture is coloured, and only when Begin says there is something to do)
// only the runs of colour fonts are drawn, in their own colours, over what
// the area shows; otherwise every run but those, in white.
bool BeginUnicodeDrawing(HDC dc, const RECT& area, bool colour, COLORREF textColour);
// Turned, the line runs down the screen with its top at x.
void DrawUnicodeLine(UnicodeFontSlot slot, int x, int y, const char16_t* text, uint32_t length, bool turned = false);
void EndUnicodeDrawing();
// True when the last white pass left runs of colour fonts for later.
bool UnicodeColourPending();

// The saying's fonts go when its layout is done; the factories, the
// render target and the answers of the fallback stay for the next saying
// until the show ends.
void ReleaseUnicodeFonts();
void ReleaseUnicodeText();

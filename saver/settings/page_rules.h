// What the list pages of the configuration dialog accept, apart from the
// platform: which enumerated faces the font page offers, and whether a
// colour list still makes a text the loader can read back.
#pragma once
#include <cstddef>
#include <cstdint>

enum {
    kPageFontOffers = 30,    // candidates shown on the font page
    kPageFontLimit = 20,     // chosen fonts from which OK is refused
    kPageColourLimit = 30,   // swatches from which adding is refused
    kFontEntrySize = 32,     // one enumerated face in the growable block
};

// The font types of the enumeration that matter here.
enum { kTrueTypeFontType = 4, kShiftJisCharSet = 128 };

// A family is offered when it is TrueType, Shift-JIS, not one of the
// vertical-writing "@" variants, and its name can be stored and loaded
// back whole: it fits a Font slot with its terminator and holds no ",".
bool FontPageOffers(uint32_t fontType, uint8_t charSet, const char* face, size_t faceLength);

// Whether colours[0 .. count-1], followed by `added` when withAdded, give
// a list text of at most maxLength bytes.
bool ColourListFits(const uint32_t* colours, int count, bool withAdded, uint32_t added, size_t maxLength);

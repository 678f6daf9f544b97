#include "saver/settings/page_rules.h"

#include <cstdio>
#include <cstring>

#include "saver/settings/settings_fields.h"

bool FontPageOffers(uint32_t fontType, uint8_t charSet, const char* face, size_t faceLength)
{
    if ((fontType & kTrueTypeFontType) == 0 || charSet != kShiftJisCharSet) return false;
    if (face == nullptr || faceLength == 0 || face[0] == '@') return false;
    // A longer name would be dropped by the loader; offering it would let
    // the user choose a face the saver can never use.
    if (faceLength >= static_cast<size_t>(kFontSlotSize)) return false;
    // ',' is never the second byte of a Shift-JIS character, so any found
    // is a real comma, which would split the name in the stored text.
    return std::memchr(face, ',', faceLength) == nullptr;
}

bool ColourListFits(const uint32_t* colours, int count, bool withAdded, uint32_t added, size_t maxLength)
{
    size_t length = 0;
    for (int i = 0; i < count + (withAdded ? 1 : 0); ++i) {
        uint32_t colour = i < count ? colours[i] : added;
        char entry[16];
        length += static_cast<size_t>(
            std::snprintf(entry, sizeof entry, "%ld,", static_cast<long>(static_cast<int32_t>(colour))));
        if (length > maxLength) return false;
    }
    return true;
}

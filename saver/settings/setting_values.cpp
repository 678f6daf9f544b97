#include "saver/settings/setting_values.h"

#include <cstring>

#include "saver/settings/settings_fields.h"
#include "saver/settings/settings_lists.h"

#define SETTING_VALUE(name, kind, low, high) {#name, k##kind##Setting, low, high},
const SettingValue kSettingValues[] = {
#include "saver/settings/setting_values.def"
};
#undef SETTING_VALUE
const int kSettingValueCount = static_cast<int>(sizeof kSettingValues / sizeof kSettingValues[0]);

const SettingValue* FindSettingValue(const char* name)
{
    for (const SettingValue& v : kSettingValues)
        if (std::strcmp(v.name, name) == 0) return &v;
    return nullptr;
}

bool PolicyNumberAccepted(const SettingValue& value, uint32_t number)
{
    switch (value.kind) {
    case kNumberSetting:
    case kFlagSetting:
    case kSwitchSetting:
        return number >= value.low && number <= value.high;
    default:
        return false;
    }
}

namespace {
const uint32_t kLargestColour = 0xFFFFFF;

bool AllDigits(const char* entry, size_t length)
{
    for (size_t i = 0; i < length; ++i)
        if (entry[i] < '0' || entry[i] > '9') return false;
    return length > 0;
}

// A plain decimal colour: no sign, no blank, no more digits than 16777215
// has, and no leading zero that another tool would read as octal.
bool ColourEntry(const char* entry, size_t length)
{
    if (!AllDigits(entry, length) || length > 8 || (length > 1 && entry[0] == '0')) return false;
    uint32_t colour = 0;
    for (size_t i = 0; i < length; ++i) colour = colour * 10 + static_cast<uint32_t>(entry[i] - '0');
    return colour <= kLargestColour;
}

// Two digits 00..14 that no earlier entry named (seen holds one bit a code).
bool FadeEntry(const char* entry, size_t length, uint32_t* seen)
{
    if (length != 2 || !AllDigits(entry, 2)) return false;
    int code = (entry[0] - '0') * 10 + (entry[1] - '0');
    if (code >= kFadeCodeKinds || (*seen & (1u << code)) != 0) return false;
    *seen |= 1u << code;
    return true;
}
}

bool PolicyListAccepted(const SettingValue& value, const char* text)
{
    if (text == nullptr) return false;
    size_t limit = value.kind == kFontListSetting ? kFontTextSize - 1 : kListTextSize - 1;
    size_t total = std::strlen(text);
    if (total > limit) return false;
    uint32_t entries = 0;
    uint32_t seen = 0;
    for (const char* p = text; p < text + total;) {
        const char* end = std::strchr(p, ',');
        size_t length = end ? static_cast<size_t>(end - p) : std::strlen(p);
        if (length > 0) {
            bool good = false;
            switch (value.kind) {
            case kFadeListSetting: good = FadeEntry(p, length, &seen); break;
            case kColourListSetting: good = ColourEntry(p, length); break;
            case kFontListSetting: good = length < static_cast<size_t>(kFontSlotSize); break;
            default: return false;
            }
            if (!good) return false;
            ++entries;
        }
        p += length + (end ? 1 : 0);
    }
    return entries >= value.low && entries <= value.high;
}

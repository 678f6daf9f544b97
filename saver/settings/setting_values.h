// The values of the settings key by name, and what a policy value must be
// to count as set: an administrator's typing mistake must fall through to
// the user's own setting rather than break the show on every managed PC.
#pragma once
#include <cstddef>
#include <cstdint>

enum SettingKind {
    kFolderSetting,       // REG_SZ or REG_EXPAND_SZ; low..high characters once expanded
    kNumberSetting,       // REG_DWORD, low..high
    kFlagSetting,         // REG_DWORD, 0 or 1
    kFadeListSetting,     // REG_SZ list texts of low..high entries
    kColourListSetting,
    kFontListSetting,
    kSwitchSetting,       // REG_DWORD 0 or 1 that only a policy sets
};

struct SettingValue {
    const char* name;
    SettingKind kind;
    uint32_t low;
    uint32_t high;
};

extern const SettingValue kSettingValues[];
extern const int kSettingValueCount;

// nullptr for a name that is no value of the settings key.
const SettingValue* FindSettingValue(const char* name);

// A policy's number counts when it is within the value's range.
bool PolicyNumberAccepted(const SettingValue& value, uint32_t number);

// A policy's list text (Shift-JIS) counts when the loader reads it back
// whole and as the pages would have stored it: within the reader's buffer,
// low..high entries, every entry one the list can hold (a fade code 00..14
// once each, a colour 0..16777215 in plain digits, a face of at most 29
// bytes). Empty entries between commas are skipped as the loader skips them.
bool PolicyListAccepted(const SettingValue& value, const char* text);

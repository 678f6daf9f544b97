// The four list settings (Fade, Color, Font, Back) as texts: reading them
// into the fixed tables of SettingsFields and writing the tables back as
// texts the loaders accept. No registry here; store_win.cpp does that.
#pragma once
#include <cstddef>
#include <cstdint>

#include "saver/settings/settings_fields.h"

enum {
    // FadeCodes holds two bytes per accepted entry and a terminator, so
    // it, not EnabledTransitions, bounds the fade list.
    kMaxFadeEntries = (kFadeCodesSize - 1) / 2,
    kFadeCodeKinds = 15,   // codes 00 .. 14
};

// Texts used when a value is missing or unreadable. The font text is
// Shift-JIS: "ＭＳ ゴシック,ＭＳ 明朝,".
extern const char kDefaultFadeText[];
extern const char kDefaultColorText[];
extern const char kDefaultFontText[];
extern const char kDefaultBackText[];

// Each loader empties its table first, then takes the entries in order
// and stops once the table is full. text nullptr reads as the empty text.
void LoadFadeList(const char* text, SettingsFields* s);    // EnabledTransitions, FadeCount, FadeCodes
void LoadColorList(const char* text, SettingsFields* s);   // Color, ColorCount
void LoadBackList(const char* text, SettingsFields* s);    // Back, BackCount
// text nullptr (the value could not be read) or empty gives the defaults.
void LoadFontList(const char* text, SettingsFields* s);    // Font, FontCount

// The integer a Color or Back entry starts with: white space, an optional
// sign, digits; no digits gives 0. Saturates at the 32-bit signed range.
int32_t ColourEntryValue(const char* entry, size_t length);

// Writers. Each entry is followed by ","; an empty list is the empty text.
// They give the byte length written (terminator not counted) or one of
// these codes, in which case out holds the empty text. maxLength is the
// longest text the loader reads (its buffer less the terminator).
enum {
    kListTooLong = -1,     // the text would be longer than maxLength
    kListBadEntry = -2,    // an entry the loader could not give back as it is
};
// codes: two bytes per entry, count entries (fewer when codes ends early).
int FormatFadeList(const char* codes, int count, char* out, size_t outSize, size_t maxLength);
int FormatColourList(const uint32_t* colours, int count, char* out, size_t outSize, size_t maxLength);
// Empty slots are left out (the loader would skip them anyway); a name
// holding "," or not terminated inside its slot is a bad entry.
int FormatFontList(const char (*faces)[kFontSlotSize], int count, char* out, size_t outSize,
                   size_t maxLength);

// The settings as the saver holds them after loading: numbers and fixed
// tables only, so the list rules can be exercised without the registry.
#pragma once
#include <cstdint>

enum {
    kFilePathChars = 260,     // FilePath in UTF-16 units: 259 and the terminator
    kListTextSize = 128,      // reader buffer of Fade, Color and Back
    kFontTextSize = 200,      // reader buffer of Font
    kMaxTransitions = 16,
    kFadeCodesSize = 32,      // two bytes per code, then the terminator
    kMaxTextColors = 32,
    kMaxFonts = 30,
    kFontSlotSize = 30,       // face name and terminator
    kMaxBackColors = 30,
};

struct SettingsFields {
    wchar_t FilePath[kFilePathChars];   // UTF-16 on the platform; only the glue reads it
    uint32_t Display;
    uint32_t AVIPlay;
    uint32_t COM[4];          // COM1 .. COM4
    uint32_t UsedCOMNoRun;
    uint32_t Opening;
    uint32_t AllMonitors;     // nonzero: other monitors show the show too
    uint32_t TextGenRefused;  // nonzero: a policy refuses plug-ins; their files are passed over
    uint16_t TickInterval;

    uint16_t EnabledTransitions[kMaxTransitions];
    uint16_t FadeCount;
    char FadeCodes[kFadeCodesSize];
    uint32_t FadeInOut;

    uint32_t Color[kMaxTextColors];
    uint16_t ColorCount;

    char Font[kMaxFonts][kFontSlotSize];
    int32_t FontCount;
    uint32_t Vertical;        // nonzero: sayings are set down the screen in columns

    uint32_t Back[kMaxBackColors];
    uint16_t BackCount;
};

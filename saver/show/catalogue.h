// Kinds of the files in the words folder, by their extension.
#pragma once
#include <cstdint>

enum ContentKind : uint16_t {
    KindNone = 0,
    KindText = 1,      // .txt
    KindBitmap = 2,    // .bmp
    KindMidi = 3,      // .mid
    KindWave = 4,      // .wav
    KindAvi = 5,       // .avi
    KindTextGen = 6,   // .dll
};

// A name or full path; 0 for names that begin with "." and for unknown
// extensions. The extension is that of the last path component, found by
// whole Shift-JIS characters (a trail byte can look like "\").
uint16_t KindFromFileName(const char* path);

// What a file of the words folder is, by its extension: the one rule that
// the catalogue, the show cycle and the presenters all judge files by.
#pragma once
#include <cstdint>

enum ContentKind : uint16_t {
    KindNone = 0,
    KindText = 1,      // .txt
    KindBitmap = 2,    // .bmp, and the photos .jpg .jpeg .jpe .png .gif
    KindMidi = 3,      // .mid
    KindWave = 4,      // .wav
    KindAvi = 5,       // .avi
    KindTextGen = 6,   // .dll
};

// A name or full path; 0 for names that begin with "." and for unknown
// extensions. The extension is that of the last path component, found by
// whole Shift-JIS characters (a trail byte can look like "\").
uint16_t KindFromFileName(const char* path);

// True when the name or path is a photo for the imaging component rather
// than a bitmap file: ".jpg", ".jpeg", ".jpe" (the short alias of ".jpeg"),
// ".png" or ".gif", in any letter case.
bool IsPhotoFileName(const char* path);

// The kind of a catalogue item from its full path, judged by the file name
// alone: a words folder given as a relative path (".\words") must not
// make every item unknown.
uint16_t ItemKind(const char* path);

// The same rules for UTF-16 names and paths, as the file system gives them.
uint16_t KindFromFileName16(const char16_t* path);
bool IsPhotoFileName16(const char16_t* path);
uint16_t ItemKind16(const char16_t* path);

// Words files: one saying a file, lines cut at CR LF, "@" and "@>" sub
// lines. A text is Shift-JIS bytes or, read from a Unicode file, UTF-16
// units; offsets and lengths count its units, widths count Shift-JIS bytes.
#pragma once
#include "saver/sayings/text_clusters.h"

#include <cstdint>

enum {
    // Larger texts are refused as if memory had run out: no saying needs
    // that much, and the size must stay far from wrapping 32 bits. A
    // Unicode file's text counts in UTF-16 units, at most this many.
    kMaxWordsFileBytes = 4 * 1024 * 1024,
    // UTF-8 may take three bytes for one UTF-16 unit, and the bound is that
    // of the decoded text; it can only be known once read, so files up to
    // this size are read.
    kMaxWordsReadBytes = 3 * kMaxWordsFileBytes + 3,
};

// The result code for a Shift-JIS text of the given size: 0 to use it, 1
// to refuse.
uint16_t CheckWordsFileSize(uint32_t sizeHigh, uint32_t sizeLow);
// The same for a file about to be read, whose encoding is not known yet.
uint16_t CheckWordsReadSize(uint32_t sizeHigh, uint32_t sizeLow);

// True when path is the empty catalogue's sentinel (exact bytes).
bool IsEmptyCatalogueSentinel(const char* path);

// The end of the line that starts at offset start: the offset of its CR LF,
// or length when the line runs to the end of the text. False when no line
// starts there (start at or past the end). The next line starts at end + 2.
bool FindLineEnd(const char* text, uint32_t length, uint32_t start, uint32_t* end);
bool FindLineEnd(const char16_t* text, uint32_t length, uint32_t start, uint32_t* end);

enum LineKind {
    LineOrdinary = 0,
    LineSub = 1,        // "@": flush left in the sub font
    LineRightSub = 2,   // "@>": flush right in the sub font
};

// A line and the part of it that is drawn.
struct TextLine {
    uint32_t start;
    uint32_t length;
    LineKind kind;
    uint32_t textStart;     // after the marker
    uint32_t textLength;
};

LineKind ClassifyLine(const char* line, uint32_t length);
LineKind ClassifyLine(const char16_t* line, uint32_t length);

// Steps through the lines: *cursor starts at 0; false when none is left.
bool NextTextLine(const char* text, uint32_t length, uint32_t* cursor, TextLine* line);
bool NextTextLine(const char16_t* text, uint32_t length, uint32_t* cursor, TextLine* line);

// What the measuring pass learns about a text.
struct TextMeasure {
    uint32_t lines;           // n, all lines
    uint32_t subLines;        // k, "@" and "@>" lines
    uint32_t longestStart;    // first of the widest ordinary lines
    uint32_t maxLen;          // its width; 0 when no ordinary line has a character
    uint32_t maxUnits;        // its length
    uint32_t subStart;        // text of the last sub line
    uint32_t subLen;          // its length
    uint32_t longestSubStart; // first of the widest sub-line texts
    uint32_t longestSubLen;   // its width: texts without ordinary lines are sized and centred by it
    uint32_t longestSubUnits; // its length
};

// A Shift-JIS line is as wide as its bytes; a UTF-16 one as its clusters
// (text_clusters.h), whose Shift-JIS forms shiftJisBytes tells.
void MeasureText(const char* text, uint32_t length, TextMeasure* measure);
void MeasureText(const char16_t* text, uint32_t length, ShiftJisBytesFn shiftJisBytes, TextMeasure* measure);

#include "saver/sayings/words.h"

#include <cstring>

uint16_t CheckWordsFileSize(uint32_t sizeHigh, uint32_t sizeLow)
{
    if (sizeHigh != 0 || sizeLow > kMaxWordsFileBytes) return 1;
    return 0;
}

uint16_t CheckWordsReadSize(uint32_t sizeHigh, uint32_t sizeLow)
{
    if (sizeHigh != 0 || sizeLow > kMaxWordsReadBytes) return 1;
    return 0;
}

bool IsEmptyCatalogueSentinel(const char* path)
{
    return path != nullptr && std::strcmp(path, "EM998") == 0;
}

namespace {
// One walk over both kinds of text: CR, LF, "@" and ">" are single units
// in UTF-16 and, in Shift-JIS, never the first byte of a character.
template <typename Unit>
bool FindEnd(const Unit* text, uint32_t length, uint32_t start, uint32_t* end)
{
    if (text == nullptr || start >= length) return false;
    for (uint32_t q = start; q + 1 < length; ++q) {
        if (text[q] == '\r' && text[q + 1] == '\n') {
            *end = q;
            return true;
        }
    }
    *end = length;
    return true;
}

template <typename Unit>
LineKind Classify(const Unit* line, uint32_t length)
{
    if (length == 0 || line[0] != '@') return LineOrdinary;
    if (length >= 2 && line[1] == '>') return LineRightSub;
    return LineSub;
}

template <typename Unit>
bool NextLine(const Unit* text, uint32_t length, uint32_t* cursor, TextLine* line)
{
    uint32_t end = 0;
    if (!FindEnd(text, length, *cursor, &end)) return false;
    line->start = *cursor;
    line->length = end - *cursor;
    line->kind = Classify(text + line->start, line->length);
    uint32_t marker = line->kind == LineRightSub ? 2u : line->kind == LineSub ? 1u : 0u;
    line->textStart = line->start + marker;
    line->textLength = line->length - marker;
    // Past the CR LF; at the end of the text this lands beyond length, where
    // no further line starts.
    *cursor = end == length ? length : end + 2;
    return true;
}

uint32_t Width(const char*, uint32_t length, ShiftJisBytesFn) { return length; }
uint32_t Width(const char16_t* text, uint32_t length, ShiftJisBytesFn shiftJisBytes)
{
    return LineWidth(text, length, shiftJisBytes);
}

template <typename Unit>
void Measure(const Unit* text, uint32_t length, ShiftJisBytesFn shiftJisBytes, TextMeasure* measure)
{
    std::memset(measure, 0, sizeof *measure);
    uint32_t cursor = 0;
    TextLine line;
    while (NextLine(text, length, &cursor, &line)) {
        ++measure->lines;
        if (line.kind == LineOrdinary) {
            const uint32_t width = Width(text + line.start, line.length, shiftJisBytes);
            if (width > measure->maxLen) {
                measure->maxLen = width;
                measure->maxUnits = line.length;
                measure->longestStart = line.start;
            }
        } else {
            ++measure->subLines;
            measure->subStart = line.textStart;
            measure->subLen = line.textLength;
            const uint32_t width = Width(text + line.textStart, line.textLength, shiftJisBytes);
            if (width > measure->longestSubLen) {
                measure->longestSubLen = width;
                measure->longestSubUnits = line.textLength;
                measure->longestSubStart = line.textStart;
            }
        }
    }
}
}

bool FindLineEnd(const char* text, uint32_t length, uint32_t start, uint32_t* end)
{
    return FindEnd(text, length, start, end);
}
bool FindLineEnd(const char16_t* text, uint32_t length, uint32_t start, uint32_t* end)
{
    return FindEnd(text, length, start, end);
}
LineKind ClassifyLine(const char* line, uint32_t length) { return Classify(line, length); }
LineKind ClassifyLine(const char16_t* line, uint32_t length) { return Classify(line, length); }
bool NextTextLine(const char* text, uint32_t length, uint32_t* cursor, TextLine* line)
{
    return NextLine(text, length, cursor, line);
}
bool NextTextLine(const char16_t* text, uint32_t length, uint32_t* cursor, TextLine* line)
{
    return NextLine(text, length, cursor, line);
}
void MeasureText(const char* text, uint32_t length, TextMeasure* measure)
{
    Measure(text, length, nullptr, measure);
}
void MeasureText(const char16_t* text, uint32_t length, ShiftJisBytesFn shiftJisBytes, TextMeasure* measure)
{
    Measure(text, length, shiftJisBytes, measure);
}

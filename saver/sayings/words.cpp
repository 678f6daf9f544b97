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

bool FindLineEnd(const char* text, uint32_t length, uint32_t start, uint32_t* end)
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

LineKind ClassifyLine(const char* line, uint32_t length)
{
    if (length == 0 || line[0] != '@') return LineOrdinary;
    if (length >= 2 && line[1] == '>') return LineRightSub;
    return LineSub;
}

bool NextTextLine(const char* text, uint32_t length, uint32_t* cursor, TextLine* line)
{
    uint32_t end = 0;
    if (!FindLineEnd(text, length, *cursor, &end)) return false;
    line->start = *cursor;
    line->length = end - *cursor;
    line->kind = ClassifyLine(text + line->start, line->length);
    uint32_t marker = line->kind == LineRightSub ? 2u : line->kind == LineSub ? 1u : 0u;
    line->textStart = line->start + marker;
    line->textLength = line->length - marker;
    // Past the CR LF; at the end of the text this lands beyond length, where
    // no further line starts.
    *cursor = end == length ? length : end + 2;
    return true;
}

void MeasureText(const char* text, uint32_t length, TextMeasure* measure)
{
    std::memset(measure, 0, sizeof *measure);
    uint32_t cursor = 0;
    TextLine line;
    while (NextTextLine(text, length, &cursor, &line)) {
        ++measure->lines;
        if (line.kind == LineOrdinary) {
            if (line.length > measure->maxLen) {
                measure->maxLen = line.length;
                measure->longestStart = line.start;
            }
        } else {
            ++measure->subLines;
            measure->subStart = line.textStart;
            measure->subLen = line.textLength;
            if (line.textLength > measure->longestSubLen) {
                measure->longestSubLen = line.textLength;
                measure->longestSubStart = line.textStart;
            }
        }
    }
}

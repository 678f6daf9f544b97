// Fuzz target of the words-file rules: any bytes, held in a block of exactly
// their length as a file's contents are, cut into lines and measured. The
// lines must tile the text (joined with CR LF they give it back), every
// offset must stay inside it, and the measure must agree with the lines.
// The same bytes as UTF-16 units are cut into clusters: each moves on,
// none reaches past the text, and a line's width is at least its clusters.
#include "saver/sayings/words.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
void Require(bool condition)
{
    if (!condition) __builtin_trap();
}

uint8_t OddBytes(uint32_t c) { return c < 0x80 ? 1 : c % 3 == 0 ? 2 : 0; }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 16) return 0;
    const uint32_t length = static_cast<uint32_t>(size);
    char* text = static_cast<char*>(std::malloc(size ? size : 1));
    if (size) std::memcpy(text, data, size);

    uint32_t cursor = 0, lines = 0, subLines = 0, maxLen = 0, joined = 0;
    TextLine line;
    while (NextTextLine(text, length, &cursor, &line)) {
        Require(line.start == joined);
        Require(line.start + line.length <= length);
        Require(line.textStart >= line.start && line.textStart + line.textLength == line.start + line.length);
        // A line holds no CR LF, and one follows it unless the text ends.
        for (uint32_t i = line.start; i + 1 < line.start + line.length; ++i)
            Require(!(text[i] == '\r' && text[i + 1] == '\n'));
        joined = line.start + line.length;
        if (joined < length) {
            Require(joined + 1 < length && text[joined] == '\r' && text[joined + 1] == '\n');
            joined += 2;
        }
        Require(cursor == joined);
        const char* first = text + line.start;
        LineKind expected = line.length == 0 || first[0] != '@' ? LineOrdinary
                            : line.length >= 2 && first[1] == '>' ? LineRightSub
                                                                  : LineSub;
        Require(line.kind == expected);
        ++lines;
        if (line.kind == LineOrdinary) {
            if (line.length > maxLen) maxLen = line.length;
        } else {
            ++subLines;
        }
        Require(lines <= length + 1);
    }
    Require(joined == length);

    TextMeasure m;
    MeasureText(text, length, &m);
    Require(m.lines == lines && m.subLines == subLines && m.maxLen == maxLen);
    Require(m.longestStart + m.maxLen <= length);
    Require(m.subStart + m.subLen <= length);
    Require(m.longestSubStart + m.longestSubLen <= length);
    Require(m.subLen <= m.longestSubLen);

    const uint32_t count = length / 2;
    char16_t* units = static_cast<char16_t*>(std::malloc(count ? count * 2 : 2));
    if (count) std::memcpy(units, data, count * 2);
    uint32_t clusters = 0;
    for (uint32_t at = 0, first = 0; at < count; ++clusters) {
        const uint32_t end = ClusterEnd(units, count, at, &first);
        Require(end > at && end <= count && WholeClusterUnits(units, count, end) == end);
        at = end;
    }
    Require(LineWidth(units, count, OddBytes) >= clusters && LineWidth(units, count, OddBytes) <= 2 * clusters);
    MeasureText(units, count, OddBytes, &m);
    Require(m.longestStart + m.maxUnits <= count && m.longestSubStart + m.longestSubUnits <= count);
    std::free(units);
    std::free(text);
    return 0;
}

// Sayings from Unicode files stay UTF-16 to the screen. These rules cut
// such a text into the characters a reader sees (clusters: a surrogate
// pair, a letter and its combining marks, an emoji with its modifier or
// variation selector, a flag, a joiner sequence) and give each the width
// the layout rules count in: Shift-JIS bytes, as for every other saying.
#pragma once
#include <cstdint>

// How many bytes code page 932 gives one character (1 or 2), or 0 when it
// has no form there. Only the platform's conversion can say; the portable
// rules ask through this.
typedef uint8_t (*ShiftJisBytesFn)(uint32_t codePoint);

// The code point at text[at] (a lone surrogate stands for itself) and the
// units it takes.
uint32_t CodePointAt(const char16_t* text, uint32_t length, uint32_t at, uint32_t* units);

// The end of the cluster that starts at text[at] (at < length); its first
// character into *first.
uint32_t ClusterEnd(const char16_t* text, uint32_t length, uint32_t at, uint32_t* first);

// The width a cluster counts for, by the character it starts with: its
// Shift-JIS bytes when it has a form there; otherwise 2 for East Asian
// wide and full-width characters and emoji shown as emoji, else 1.
uint32_t ClusterWidth(uint32_t first, ShiftJisBytesFn shiftJisBytes);

// The sum of the widths of the clusters of a line.
uint32_t LineWidth(const char16_t* text, uint32_t length, ShiftJisBytesFn shiftJisBytes);

// Largest n <= count such that the first n units end on a cluster
// boundary: a line cut for drawing never splits what the reader sees.
uint32_t WholeClusterUnits(const char16_t* text, uint32_t length, uint32_t count);

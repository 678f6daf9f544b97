// A saying set down the screen (縦書き): each line becomes a column, the
// first line the rightmost, the rest following right to left. The rules of
// the saying across turn with it: the longest line fills about four fifths
// of the height, sized by its bytes as across (a full-width character one
// square cell, a half-width one half a cell), and the block of columns is
// centred on the screen.
#pragma once
#include "saver/sayings/words.h"

#include <cstdint>

struct ColumnBlock {
    int mainWidth, subWidth;   // w and s, taken against the height
    // What the platform measures of the fonts it made from w and s: how
    // wide a column of each font is.
    int mainThickness, subThickness;
    // The longest line along its column: sets the block's height, and where
    // an attribution ends.
    int mainLength;
    int top;      // where every column starts (an attribution may start lower)
    int right;    // right edge of the first column
};

// What the platform does for the columns. lengthOf gives a text's length
// along its column in the sub font (sub true) or the main one; draw puts a
// column's text with its left edge at x, starting at y. A text is Shift-JIS
// bytes or the UTF-16 units of a Unicode words file.
template <typename Unit>
struct ColumnSeamOf {
    void* context;
    int (*lengthOf)(void* context, const Unit* text, uint32_t units, bool sub);
    void (*draw)(void* context, const Unit* text, uint32_t units, bool sub, int x, int y);
};
typedef ColumnSeamOf<char> ColumnSeam;
typedef ColumnSeamOf<char16_t> ColumnSeam16;

// Sets mainWidth and subWidth: w := trunc(0.8 x H) / the sizing length,
// s := (w / 3) x 2 at most H / 30.
void SizeColumnFonts(int clientHeight, const TextMeasure& measure, ColumnBlock* block);

// With the thicknesses filled in: measures the longest line (without an
// ordinary byte, the longest sub-line text in the sub font) and places the
// block. Its height is centred, from the top edge when longer than the
// screen. Its width is centred; a block wider than the screen starts at the
// right edge and loses its last columns at the left.
template <typename Unit>
void PlaceColumnBlock(const Unit* text, const TextMeasure& measure, int clientWidth, int clientHeight,
                      const ColumnSeamOf<Unit>& seam, ColumnBlock* block);

// Where the drawn columns reach: their left edge and the row below the
// longest of them.
struct ColumnReach {
    int left;
    int bottom;
};

// Walks the lines from the right, calling draw for each column that
// reaches the picture when draw is true. An ordinary line and a sub line
// ("@") start at the top; an attribution ("@>") ends level with the end of
// the longest line, or starts at the top when it is the longer.
template <typename Unit>
ColumnReach WalkColumns(const Unit* text, uint32_t length, const ColumnBlock& block, const ColumnSeamOf<Unit>& seam,
                        bool draw);

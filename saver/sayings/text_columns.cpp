#include "saver/sayings/text_columns.h"

#include "saver/sayings/text_layout.h"

void SizeColumnFonts(int clientHeight, const TextMeasure& measure, ColumnBlock* block)
{
    block->mainWidth = MainCharWidth(clientHeight, SizingLength(measure.maxLen, measure.longestSubLen));
    block->subWidth = SubCharWidth(clientHeight, block->mainWidth);
}

template <typename Unit>
void PlaceColumnBlock(const Unit* text, const TextMeasure& measure, int clientWidth, int clientHeight,
                      const ColumnSeamOf<Unit>& seam, ColumnBlock* block)
{
    // A text of sub lines only is as long as its longest one, as across it
    // is as wide.
    if (measure.maxLen == 0 && measure.longestSubLen != 0)
        block->mainLength = seam.lengthOf(seam.context, text + measure.longestSubStart, measure.longestSubUnits, true);
    else
        block->mainLength = seam.lengthOf(seam.context, text + measure.longestStart, measure.maxUnits, false);
    block->top = BlockLeft(clientHeight, block->mainLength);

    // The rows across become the columns: their total width is what the
    // lines' total height is across.
    uint32_t subLines = measure.subLines < measure.lines ? measure.subLines : measure.lines;
    int64_t total = static_cast<int64_t>(measure.lines - subLines) * block->mainThickness +
                    static_cast<int64_t>(subLines) * block->subThickness;
    if (total > clientWidth)
        block->right = clientWidth;
    else
        block->right = BlockTop(clientWidth, measure.lines, subLines, block->mainThickness, block->subThickness) +
                       static_cast<int>(total);
}

template <typename Unit>
ColumnReach WalkColumns(const Unit* text, uint32_t length, const ColumnBlock& block, const ColumnSeamOf<Unit>& seam,
                        bool draw)
{
    ColumnReach reach = {block.right, block.top};
    int right = block.right;
    uint32_t cursor = 0;
    TextLine line;
    while (right > 0 && NextTextLine(text, length, &cursor, &line)) {
        const bool sub = line.kind != LineOrdinary;
        const Unit* drawn = text + line.textStart;
        const int x = right - (sub ? block.subThickness : block.mainThickness);
        int y = block.top;
        int end = block.top + block.mainLength;
        if (sub) {
            int own = seam.lengthOf(seam.context, drawn, line.textLength, true);
            if (line.kind == LineRightSub) y = RightSubX(block.top, block.mainLength, own);
            if (y + own > end) end = y + own;
        }
        if (draw) seam.draw(seam.context, drawn, line.textLength, sub, x, y);
        if (end > reach.bottom) reach.bottom = end;
        reach.left = x;
        right = x;
    }
    return reach;
}

template void PlaceColumnBlock(const char*, const TextMeasure&, int, int, const ColumnSeam&, ColumnBlock*);
template void PlaceColumnBlock(const char16_t*, const TextMeasure&, int, int, const ColumnSeam16&, ColumnBlock*);
template ColumnReach WalkColumns(const char*, uint32_t, const ColumnBlock&, const ColumnSeam&, bool);
template ColumnReach WalkColumns(const char16_t*, uint32_t, const ColumnBlock&, const ColumnSeam16&, bool);

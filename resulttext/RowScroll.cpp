#include "resulttext/RowScroll.h"

#include "RichEditCtrl.h"
#include "resulttext/ResultMarks.h"

#include <QTextBlock>

#include <algorithm>
#include <cmath>

namespace kivo {
namespace {

// Rows are found by paragraph places, as the scroll bar counts them (paragraphs not laid out yet
// at their estimated heights), so that following the other window never lays out the text
// above the place scrolled to.

QTextBlock BlockAtY(const RichEditCtrl &edit, int y)
{
    return edit.Document()->findBlockByNumber(edit.BlockAt(y));
}

/// The row start at or before the block; an invalid block when there is none.
QTextBlock RowStartAtOrBefore(QTextBlock block)
{
    while (block.isValid() && RowStartOf(block) < 0)
        block = block.previous();
    return block;
}

/// The first row start after the block; an invalid block when there is none.
QTextBlock NextRowStart(QTextBlock block)
{
    do
        block = block.next();
    while (block.isValid() && RowStartOf(block) < 0);
    return block;
}

/// The first row start at or after the block.
QTextBlock RowStartAtOrAfter(const QTextBlock &block)
{
    return RowStartOf(block) >= 0 ? block : NextRowStart(block);
}

/// Document y of the top of a row, rounded down to the pixel the scroll position can stand on.
int RowTop(const RichEditCtrl &edit, const QTextBlock &rowStart)
{
    return static_cast<int>(std::floor(edit.BlockTop(rowStart.blockNumber())));
}

/// Document y where the row after this one begins (the end of the text after the last row).
int RowBottom(const RichEditCtrl &edit, const QTextBlock &rowStart)
{
    const QTextBlock next = NextRowStart(rowStart);
    return next.isValid() ? RowTop(edit, next) : static_cast<int>(std::ceil(edit.TextHeight()));
}

} // namespace

std::optional<RowPosition> TopRow(const RichEditCtrl &edit)
{
    const int y = edit.GetScrollPos();
    const QTextBlock atTop = BlockAtY(edit, y);
    QTextBlock row = RowStartAtOrBefore(atTop);
    if (!row.isValid())
        row = RowStartAtOrAfter(atTop); // above the first row
    if (!row.isValid())
        return std::nullopt;
    return RowPosition{RowStartOf(row), y - RowTop(edit, row)};
}

std::optional<int> ScrollPosOfRow(const RichEditCtrl &edit, RowPosition position, int nearY)
{
    const QTextBlock guess = BlockAtY(edit, nearY);
    QTextBlock row = RowStartAtOrBefore(guess);
    if (!row.isValid())
        row = RowStartAtOrAfter(guess);
    if (!row.isValid())
        return std::nullopt;
    // Back to the last row start at or before the wanted row, then on while the next one is.
    while (RowStartOf(row) > position.row) {
        const QTextBlock before = RowStartAtOrBefore(row.previous());
        if (!before.isValid())
            break;
        row = before;
    }
    for (QTextBlock next = NextRowStart(row); next.isValid() && RowStartOf(next) <= position.row;
         next = NextRowStart(row))
        row = next;

    const int top = RowTop(edit, row);
    if (RowStartOf(row) > position.row) // the wanted row lies above the first one here
        return top + std::min(position.offset, 0);
    const int bottom = RowBottom(edit, row);
    if (RowStartOf(row) < position.row) // the row is missing here: where it would begin
        return bottom;
    return top + std::min(position.offset, std::max(0, bottom - top - 1));
}

} // namespace kivo

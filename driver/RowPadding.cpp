#include "driver/RowPadding.h"

#include <algorithm>
#include <cstdlib>

namespace kivo {
namespace {

bool BothViews(const PerSide<IResultView *> &views)
{
    return views[Index(Side::Left)] && views[Index(Side::Right)];
}

IResultView &ViewOf(const PerSide<IResultView *> &views, Side side)
{
    return *views[Index(side)];
}

} // namespace

void PadRows(const PerSide<IResultView *> &views, PadMode mode, const RichOptions &options)
{
    if (options.ViewFormat == SentenceLayout::Unchanged || !BothViews(views))
        return;
    PerSide<int> last{};
    for (const Side side : kSides)
        last[Index(side)] = ViewOf(views, side).RegionLineCount() - 1;
    const int a = last[Index(Side::Left)];
    const int b = last[Index(Side::Right)];
    if (a == b)
        return;
    const Side shorter = a < b ? Side::Left : Side::Right;
    IResultView &longer = ViewOf(views, Other(shorter));
    const int common = std::min(a, b);
    const int surplus = std::abs(a - b);
    if (mode == PadMode::Trim && longer.LinesAreBlank(common, common + surplus))
        longer.DeleteAtLine(common, surplus);
    else
        ViewOf(views, shorter).InsertBlankLines(common, surplus);
}

void RealignRows(const PerSide<IResultView *> &views, const PerSide<RowStarts> &rowStarts,
                 const RichOptions &options)
{
    if (options.ViewFormat == SentenceLayout::Unchanged || !BothViews(views))
        return;
    // Characters inserted (+) or deleted (-) so far in front of the later row starts.
    PerSide<int> shift{};
    for (std::size_t i = 0; i < kRowStartCount; ++i) {
        PerSide<int> line{};
        bool recorded = true;
        for (const Side side : kSides) {
            const std::int32_t start = rowStarts[Index(side)][i];
            recorded = recorded && start >= 0;
            if (recorded)
                line[Index(side)] =
                    ViewOf(views, side).RegionLineOfChar(start + shift[Index(side)]);
        }
        if (!recorded)
            break;
        if (options.ViewLine == 1 && line[0] > 0 && line[1] > 0) {
            // The separator lines above the rows.
            --line[0];
            --line[1];
        }
        if (line[0] == line[1])
            continue;
        const Side lower =
            line[Index(Side::Right)] > line[Index(Side::Left)] ? Side::Right : Side::Left;
        const Side higher = Other(lower);
        const int top = line[Index(higher)];
        const int gap = line[Index(lower)] - top;
        if (ViewOf(views, lower).LinesAreBlank(top, line[Index(lower)])) {
            ViewOf(views, lower).DeleteAtLine(top, gap);
            shift[Index(lower)] -= gap;
        } else {
            ViewOf(views, higher).InsertBlankLines(top, gap);
            shift[Index(higher)] += gap;
        }
    }
    for (const Side side : kSides)
        ViewOf(views, side).CaretToLastLine();
}

} // namespace kivo

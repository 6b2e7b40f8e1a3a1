#include "views/DiffMapRows.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace kivo {
namespace {

/// What one window holds in one row: any text of the result, and the kinds of difference.
struct RowSide {
    bool text = false;
    unsigned kinds = 0;
};

constexpr unsigned Bit(RunKind kind)
{
    return 1U << static_cast<unsigned>(kind);
}

/// Calls visit(block, row) for each paragraph in text order, row being the row the paragraph
/// belongs to (-1 before the first row start).
template <typename Visit> void ForEachBlockRow(const QTextDocument &document, Visit visit)
{
    int row = -1;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (RowStartOf(block) >= 0)
            row = RowStartOf(block);
        visit(block, row);
    }
}

/// What each row holds in one window, indexed by row number.
std::vector<RowSide> SummariseRows(const MapSide &side)
{
    std::vector<RowSide> rows;
    if (!side.document || !side.runs)
        return rows;
    auto run = side.runs->begin();
    ForEachBlockRow(*side.document, [&](const QTextBlock &block, int row) {
        const int end = block.position() + block.length();
        for (; run != side.runs->end() && run->start < end; ++run) {
            if (row < 0)
                continue;
            if (static_cast<std::size_t>(row) >= rows.size())
                rows.resize(static_cast<std::size_t>(row) + 1);
            RowSide &here = rows[static_cast<std::size_t>(row)];
            if (run->kind != RunKind::Separator)
                here.text = true;
            if (IsDifference(run->kind))
                here.kinds |= Bit(run->kind);
        }
    });
    return rows;
}

RunKind RowKind(const RowSide &here, const RowSide &there)
{
    const unsigned kinds = here.kinds | there.kinds;
    if (kinds == 0)
        return RunKind::None;
    if (kinds & Bit(RunKind::Moved))
        return RunKind::Moved;
    if ((kinds & Bit(RunKind::Changed)) || (here.text && there.text))
        return RunKind::Changed;
    return (kinds & Bit(RunKind::Deleted)) ? RunKind::Deleted : RunKind::Added;
}

double BlockTop(const QTextDocument &document, const QTextBlock &block)
{
    return document.documentLayout()->blockBoundingRect(block).top();
}

double BlockBottom(const QTextDocument &document, const QTextBlock &block)
{
    return document.documentLayout()->blockBoundingRect(block).bottom();
}

/// Document y of the top (or bottom) of the line that holds a position.
double LineEdgeY(const QTextDocument &document, int position, bool bottom)
{
    const QTextBlock block = document.findBlock(position);
    const QTextLayout *layout = block.layout();
    const double blockTop = BlockTop(document, block);
    if (!layout || layout->lineCount() == 0)
        return bottom ? BlockBottom(document, block) : blockTop;
    const QTextLine line = layout->lineForTextPosition(position - block.position());
    if (!line.isValid())
        return bottom ? BlockBottom(document, block) : blockTop;
    return blockTop + line.y() + (bottom ? line.height() : 0);
}

bool HasRows(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (RowStartOf(block) >= 0)
            return true;
    }
    return false;
}

std::vector<MapSpan> RunSpans(const MapSide &here)
{
    std::vector<MapSpan> spans;
    for (const MarkedRun &run : *here.runs) {
        if (IsDifference(run.kind))
            spans.push_back({LineEdgeY(*here.document, run.start, false),
                             LineEdgeY(*here.document, std::max(run.start, run.end - 1), true),
                             run.kind});
    }
    return spans;
}

} // namespace

std::vector<MapSpan> DifferenceSpans(const MapSide &here, const MapSide &there)
{
    if (!here.document || !here.runs)
        return {};
    if (!HasRows(*here.document))
        return RunSpans(here);
    const std::vector<RowSide> rowsHere = SummariseRows(here);
    const std::vector<RowSide> rowsThere = SummariseRows(there);
    const auto sideOf = [](const std::vector<RowSide> &rows, int row) {
        return static_cast<std::size_t>(row) < rows.size() ? rows[static_cast<std::size_t>(row)]
                                                            : RowSide{};
    };

    // A row reaches down to the next row start; the last one to the last paragraph of the
    // result, so that text after a compared selection is not marked.
    std::vector<MapSpan> spans;
    bool open = false;
    double resultBottom = 0;
    int runsEnd = 0;
    auto run = here.runs->begin();
    ForEachBlockRow(*here.document, [&](const QTextBlock &block, int row) {
        const bool rowStart = row >= 0 && RowStartOf(block) == row;
        if (rowStart) {
            const double top = BlockTop(*here.document, block);
            if (open)
                spans.back().bottom = top;
            const RunKind kind = RowKind(sideOf(rowsHere, row), sideOf(rowsThere, row));
            open = kind != RunKind::None;
            if (open)
                spans.push_back({top, top, kind});
        }
        const int end = block.position() + block.length();
        for (; run != here.runs->end() && run->start < end; ++run)
            runsEnd = std::max(runsEnd, run->end);
        if (rowStart || IsPaddingBlock(block) || block.position() < runsEnd)
            resultBottom = BlockBottom(*here.document, block);
    });
    if (open)
        spans.back().bottom = std::max(spans.back().top, resultBottom);
    return spans;
}

} // namespace kivo

#include "views/DiffMapRows.h"

#include "LazyTextLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>

namespace kivo {
namespace {

constexpr unsigned Bit(RunKind kind)
{
    return 1U << static_cast<unsigned>(kind);
}

/// Document y of paragraphs, as the scroll bar counts them: a paragraph not laid out yet stands
/// at its estimated place, so that reading the marks does not lay out the whole text.
class BlockY {
public:
    explicit BlockY(const QTextDocument &document)
        : m_layout(*document.documentLayout()), m_lazy(LazyTextLayout::Of(document))
    {}

    double Top(const QTextBlock &block) const
    {
        if (m_lazy)
            return m_lazy->BlockTop(block.blockNumber());
        return m_layout.blockBoundingRect(block).top();
    }
    double Bottom(const QTextBlock &block) const
    {
        if (m_lazy)
            return Top(block) + m_lazy->BlockHeight(block.blockNumber());
        return m_layout.blockBoundingRect(block).bottom();
    }
    /// Whether the paragraph's lines are those of the current layout.
    bool HasLines(const QTextBlock &block) const { return !m_lazy || m_lazy->IsLaidOut(block); }

private:
    const QAbstractTextDocumentLayout &m_layout;
    const LazyTextLayout *m_lazy;
};

/// Document y of the top (or bottom) of the line that holds a position.
double LineEdgeY(const QTextDocument &document, const BlockY &y, int position, bool bottom)
{
    const QTextBlock block = document.findBlock(position);
    const QTextLayout *layout = y.HasLines(block) ? block.layout() : nullptr;
    const QTextLine line =
        layout ? layout->lineForTextPosition(position - block.position()) : QTextLine();
    if (!line.isValid())
        return bottom ? y.Bottom(block) : y.Top(block);
    return y.Top(block) + line.y() + (bottom ? line.height() : 0);
}

RunKind RowKind(const DocumentRows::Side &here, const DocumentRows::Side &there)
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

} // namespace

DocumentRows ReadRows(const QTextDocument &document, const std::vector<MarkedRun> &runs)
{
    DocumentRows rows;
    const BlockY y(document);
    QTextBlock lastOfResult;
    int row = -1;
    int runsEnd = 0;
    auto run = runs.begin();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const bool rowStart = RowStartOf(block) >= 0;
        if (rowStart) {
            row = RowStartOf(block);
            rows.starts.push_back({row, y.Top(block)});
        }
        // The runs that start in this paragraph belong to its row.
        const int end = block.position() + block.length();
        for (; run != runs.end() && run->start < end; ++run) {
            runsEnd = std::max(runsEnd, run->end);
            if (row < 0)
                continue;
            if (static_cast<std::size_t>(row) >= rows.sides.size())
                rows.sides.resize(static_cast<std::size_t>(row) + 1);
            DocumentRows::Side &side = rows.sides[static_cast<std::size_t>(row)];
            if (run->kind != RunKind::Separator)
                side.text = true;
            if (IsDifference(run->kind))
                side.kinds |= Bit(run->kind);
        }
        if (rowStart || IsPaddingBlock(block) || block.position() < runsEnd)
            lastOfResult = block;
    }
    if (lastOfResult.isValid())
        rows.resultBottom = y.Bottom(lastOfResult);
    if (rows.starts.empty()) {
        for (const MarkedRun &marked : runs) {
            if (IsDifference(marked.kind))
                rows.runSpans.push_back(
                    {LineEdgeY(document, y, marked.start, false),
                     LineEdgeY(document, y, std::max(marked.start, marked.end - 1), true),
                     marked.kind});
        }
    }
    return rows;
}

std::vector<MapSpan> DifferenceSpans(const DocumentRows &here, const DocumentRows *there)
{
    if (here.starts.empty())
        return here.runSpans;
    const auto sideOf = [](const DocumentRows *rows, int row) {
        return rows && static_cast<std::size_t>(row) < rows->sides.size()
                   ? rows->sides[static_cast<std::size_t>(row)]
                   : DocumentRows::Side{};
    };
    std::vector<MapSpan> spans;
    for (std::size_t i = 0; i < here.starts.size(); ++i) {
        const DocumentRows::Start &start = here.starts[i];
        const RunKind kind = RowKind(sideOf(&here, start.row), sideOf(there, start.row));
        if (kind == RunKind::None)
            continue;
        const double bottom = i + 1 < here.starts.size() ? here.starts[i + 1].top
                                                         : std::max(start.top, here.resultBottom);
        spans.push_back({start.top, bottom, kind});
    }
    return spans;
}

} // namespace kivo

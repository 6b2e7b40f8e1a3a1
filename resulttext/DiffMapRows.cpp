#include "resulttext/DiffMapRows.h"

#include "LazyTextLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>

#include <algorithm>
#include <limits>

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

/// Without rows (the result as running text): one stretch for each run of a difference.
std::vector<MapSpan> RunSpans(const QTextDocument &document, const BlockY &y,
                              const std::vector<MarkedRun> &runs)
{
    std::vector<MapSpan> spans;
    for (const MarkedRun &marked : runs) {
        if (IsDifference(marked.kind))
            spans.push_back({LineEdgeY(document, y, marked.start, false),
                             LineEdgeY(document, y, std::max(marked.start, marked.end - 1), true),
                             marked.kind});
    }
    return spans;
}

void AddRun(DocumentRows::Side &side, const MarkedRun &run)
{
    if (run.kind != RunKind::Separator)
        side.text = true;
    if (IsDifference(run.kind))
        side.kinds |= Bit(run.kind);
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
            AddRun(rows.sides[static_cast<std::size_t>(row)], *run);
        }
        if (rowStart || IsPaddingBlock(block) || block.position() < runsEnd)
            lastOfResult = block;
    }
    if (lastOfResult.isValid())
        rows.resultBottom = y.Bottom(lastOfResult);
    if (rows.starts.empty())
        rows.runSpans = RunSpans(document, y, runs);
    return rows;
}

void RowIndex::TextChanged(std::optional<TextEdit> edit)
{
    // A reading under way has paragraphs behind it that may have changed: it starts again.
    m_reading.reset();
    if (!edit) {
        m_valid = false;
        m_pending.reset();
        return;
    }
    if (m_valid)
        m_pending = m_pending ? MergeEdits(*m_pending, *edit) : *edit;
}

bool RowIndex::ReadStep(const QTextDocument &document, const std::vector<MarkedRun> &runs,
                        int paragraphs)
{
    if (m_valid && m_pending) {
        const TextEdit edit = *m_pending;
        m_pending.reset();
        m_valid = ReadEdit(document, runs, edit);
    }
    if (m_valid)
        return true;
    if (!m_reading || m_reading->blockCount != document.blockCount())
        m_reading = Reading{document.begin(), 0, 0, document.blockCount(), {}, {}};
    Reading &reading = *m_reading;
    for (int read = 0; reading.block.isValid() && read < paragraphs;
         reading.block = reading.block.next(), ++reading.number, ++read) {
        const QTextBlock &block = reading.block;
        if (RowStartOf(block) >= 0)
            reading.segments.push_back({reading.number, RowStartOf(block), {}, false});
        if (IsPaddingBlock(block))
            reading.padding.push_back(reading.number);
        // The runs that start in this paragraph belong to its row.
        const int end = block.position() + block.length();
        for (; reading.run < runs.size() && runs[reading.run].start < end; ++reading.run) {
            if (reading.segments.empty())
                continue;
            reading.segments.back().hasRuns = true;
            AddRun(reading.segments.back().side, runs[reading.run]);
        }
    }
    if (reading.block.isValid())
        return false;
    m_segments = std::move(reading.segments);
    m_padding = std::move(reading.padding);
    m_blockCount = document.blockCount();
    m_length = document.characterCount();
    m_valid = true;
    m_pending.reset();
    m_reading.reset();
    return true;
}

bool RowIndex::ReadEdit(const QTextDocument &document, const std::vector<MarkedRun> &runs,
                        const TextEdit &edit)
{
    const int length = document.characterCount();
    if (m_length + edit.added - edit.removed != length || edit.from < 0 ||
        edit.from + edit.added > length)
        return false;
    // The paragraphs the edit touched, in block numbers now and before it.
    const QTextBlock firstBlock = document.findBlock(std::clamp(edit.from, 0, length - 1));
    const QTextBlock lastBlock =
        document.findBlock(std::clamp(edit.from + edit.added, 0, length - 1));
    const int first = firstBlock.blockNumber();
    const int last = lastBlock.blockNumber();
    const int moved = document.blockCount() - m_blockCount;
    const int lastBefore = last - moved;
    // Edits all over the text (levelling) are read again in one pass over it.
    if (first < 0 || lastBefore < first || last - first > m_blockCount / 2)
        return false;
    std::vector<Segment> segments;
    std::vector<int> padding;
    int number = first;
    for (QTextBlock block = firstBlock; block.isValid(); block = block.next(), ++number) {
        if (RowStartOf(block) >= 0)
            segments.push_back({number, RowStartOf(block), {}, false});
        if (IsPaddingBlock(block))
            padding.push_back(number);
        if (block == lastBlock)
            break;
    }
    // The entries of the paragraphs read again replace theirs; those after them move.
    const auto replace = [first, lastBefore, moved](auto &entries, auto &fresh, auto blockOf) {
        const auto from = std::partition_point(entries.begin(), entries.end(),
                                               [&](auto &e) { return blockOf(e) < first; });
        const auto to = std::partition_point(from, entries.end(),
                                             [&](auto &e) { return blockOf(e) <= lastBefore; });
        for (auto entry = to; entry != entries.end(); ++entry)
            blockOf(*entry) += moved;
        const auto at = entries.erase(from, to);
        entries.insert(at, fresh.begin(), fresh.end());
    };
    replace(m_segments, segments, [](auto &segment) -> int & { return segment.block; });
    replace(m_padding, padding, [](auto &block) -> int & { return block; });
    m_blockCount = document.blockCount();
    m_length = length;

    // The rows whose runs may have changed: runs were read again from the paragraphs the edit
    // touched, and those at either end may have joined or left the runs next to them.
    const auto startAtOrBefore = [this](int block) {
        return std::partition_point(m_segments.begin(), m_segments.end(),
                                    [block](const Segment &s) { return s.block <= block; }) -
               m_segments.begin() - 1;
    };
    const std::ptrdiff_t lo = std::max<std::ptrdiff_t>(0, startAtOrBefore(first - 1));
    const std::ptrdiff_t hi = startAtOrBefore(last + 1);
    if (hi >= lo)
        ReadSides(document, runs, static_cast<std::size_t>(lo), static_cast<std::size_t>(hi));
    return true;
}

void RowIndex::ReadSides(const QTextDocument &document, const std::vector<MarkedRun> &runs,
                         std::size_t first, std::size_t last)
{
    const int start = document.findBlockByNumber(m_segments[first].block).position();
    auto run = std::partition_point(runs.begin(), runs.end(),
                                    [start](const MarkedRun &r) { return r.start < start; });
    for (std::size_t i = first; i <= last; ++i) {
        const int end = i + 1 < m_segments.size()
                            ? document.findBlockByNumber(m_segments[i + 1].block).position()
                            : std::numeric_limits<int>::max();
        Segment &segment = m_segments[i];
        segment.side = {};
        segment.hasRuns = false;
        for (; run != runs.end() && run->start < end; ++run) {
            segment.hasRuns = true;
            AddRun(segment.side, *run);
        }
    }
}

DocumentRows RowIndex::Rows(const QTextDocument &document, const std::vector<MarkedRun> &runs)
{
    const LazyTextLayout *lazy = LazyTextLayout::Of(document);
    if (!lazy)
        return ReadRows(document, runs);
    ReadStep(document, runs, std::numeric_limits<int>::max());

    DocumentRows rows;
    std::vector<int> blocks;
    blocks.reserve(m_segments.size());
    std::size_t sides = 0;
    for (const Segment &segment : m_segments) {
        blocks.push_back(segment.block);
        if (segment.hasRuns)
            sides = std::max(sides, static_cast<std::size_t>(segment.row) + 1);
    }
    const std::vector<double> tops = lazy->BlockTops(blocks);
    rows.starts.reserve(m_segments.size());
    rows.sides.resize(sides);
    for (std::size_t i = 0; i < m_segments.size(); ++i) {
        const Segment &segment = m_segments[i];
        rows.starts.push_back({segment.row, tops[i]});
        if (!segment.hasRuns)
            continue;
        DocumentRows::Side &side = rows.sides[static_cast<std::size_t>(segment.row)];
        side.text = side.text || segment.side.text;
        side.kinds |= segment.side.kinds;
    }
    // The result ends with its last row start, padding paragraph or run.
    int lastOfResult = -1;
    if (!m_segments.empty())
        lastOfResult = m_segments.back().block;
    if (!m_padding.empty())
        lastOfResult = std::max(lastOfResult, m_padding.back());
    if (!runs.empty())
        lastOfResult =
            std::max(lastOfResult, document.findBlock(runs.back().end - 1).blockNumber());
    if (lastOfResult >= 0)
        rows.resultBottom = lazy->BlockTop(lastOfResult) + lazy->BlockHeight(lastOfResult);
    if (rows.starts.empty())
        rows.runSpans = RunSpans(document, BlockY(document), runs);
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

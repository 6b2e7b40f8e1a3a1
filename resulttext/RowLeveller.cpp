#include "resulttext/RowLeveller.h"

#include "resulttext/RecordRenderer.h"
#include "resulttext/ResultMarks.h"

#include "LazyTextLayout.h"
#include "RichEditCtrl.h"

#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

namespace kivo {
namespace {

QTextBlock FirstRowStart(const QTextDocument &document)
{
    QTextBlock block = document.begin();
    while (block.isValid() && RowStartOf(block) < 0)
        block = block.next();
    return block;
}

/// The most rows one step may edit.
constexpr int kMostRowsPerStep = 64;

/// Whether two character formats lay text out alike: equal but for Kivo's own properties (the
/// marks of the result, which differ between the sides and which the layout does not read).
bool LayOutAlike(const QTextFormat &a, const QTextFormat &b)
{
    if (a == b)
        return true;
    // Qt's properties come before the user properties in the map's key order.
    const QMap<int, QVariant> first = a.properties();
    const QMap<int, QVariant> second = b.properties();
    const auto firstEnd = first.lowerBound(QTextFormat::UserProperty);
    const auto secondEnd = second.lowerBound(QTextFormat::UserProperty);
    return std::distance(first.begin(), firstEnd) == std::distance(second.begin(), secondEnd) &&
           std::equal(first.begin(), firstEnd, second.begin(),
                      [](const QVariant &x, const QVariant &y) { return x == y; }) &&
           std::equal(first.keyBegin(), QMap<int, QVariant>::key_iterator(firstEnd),
                      second.keyBegin());
}

/// Whether two paragraphs wrap into the same lines wherever their documents wrap alike: the
/// same text, cut into runs at the same places, in formats that lay out alike.
bool WrapAlike(const QTextBlock &a, const QTextBlock &b)
{
    if (a.length() != b.length() || a.blockFormat() != b.blockFormat() || a.text() != b.text())
        return false;
    QTextBlock::iterator i = a.begin();
    QTextBlock::iterator j = b.begin();
    for (; !i.atEnd() && !j.atEnd(); ++i, ++j) {
        const QTextFragment x = i.fragment();
        const QTextFragment y = j.fragment();
        if (x.length() != y.length() || !LayOutAlike(x.charFormat(), y.charFormat()))
            return false;
    }
    return i.atEnd() && j.atEnd();
}

/// When the row starting at `starts` holds the same paragraphs on both sides, none of them
/// padding, and both documents wrap alike: where the next row starts on each side (invalid
/// blocks at `ends` or the end of the text). Such a row takes as many lines on one side as on
/// the other at any width, so it is level without being laid out. `justWritten`: the row's
/// paragraphs were written in an edit batch the layouts have not taken in yet (none is laid
/// out); otherwise a paragraph laid out on one side only is laid out on the other too, so that
/// the row stands as high on both.
std::optional<PerSide<QTextBlock>> NextRowsOfSameRow(const PerSide<QTextDocument *> &documents,
                                                     const PerSide<QTextBlock> &starts,
                                                     const PerSide<QTextBlock> &ends,
                                                     bool justWritten = false)
{
    const LazyTextLayout *left = LazyTextLayout::Of(*documents[Index(Side::Left)]);
    const LazyTextLayout *right = LazyTextLayout::Of(*documents[Index(Side::Right)]);
    if (!left || !right || !left->WrapsLike(*right))
        return std::nullopt;
    QTextBlock a = starts[Index(Side::Left)];
    QTextBlock b = starts[Index(Side::Right)];
    const auto ended = [&](const QTextBlock &block, Side side) {
        return !block.isValid() || block == ends[Index(side)];
    };
    do {
        if (ended(a, Side::Left) || ended(b, Side::Right) || IsPaddingBlock(a) ||
            IsPaddingBlock(b) || !WrapAlike(a, b))
            return std::nullopt;
        // Both stand at the same height: both estimated (from the same length), or both laid
        // out, where one side was (painted, or asked for) and the other not yet.
        if (!justWritten && left->IsLaidOut(a) != right->IsLaidOut(b)) {
            left->EnsureLaidOut(a);
            right->EnsureLaidOut(b);
        }
        a = a.next();
        b = b.next();
    } while (!ended(a, Side::Left) && !ended(b, Side::Right) && RowStartOf(a) < 0 &&
             RowStartOf(b) < 0);
    const bool leftEnds = ended(a, Side::Left);
    if (leftEnds != ended(b, Side::Right))
        return std::nullopt;
    if (leftEnds)
        return PerSide<QTextBlock>{};
    if (RowStartOf(a) < 0 || RowStartOf(a) != RowStartOf(b))
        return std::nullopt;
    return PerSide<QTextBlock>{a, b};
}

} // namespace

RowLeveller::RowLeveller(QTextDocument &left, QTextDocument &right, int result,
                         const PerSide<QTextBlock> &tops, const PerSide<QTextBlock> &ends,
                         const PerSide<int> &linesAbove)
    : m_documents{&left, &right}, m_result(result), m_ends(ends), m_linesAbove(linesAbove)
{
    // The rows in the windows first: from the row start at or above each window's top.
    for (Side side : kSides) {
        QTextBlock block = tops[Index(side)];
        while (block.isValid() && RowStartOf(block) < 0)
            block = block.previous();
        m_at[Index(side)] = block.isValid() ? block : FirstRowStart(*m_documents[Index(side)]);
    }
    SyncSides();
    m_firstRow = Done() ? 0 : RowStartOf(m_at[Index(Side::Left)]);
    m_rowsAbove = m_firstRow > RowStartOf(FirstRowStart(left));
}

namespace {

/// The paragraphs at the top of the controls' windows.
PerSide<QTextBlock> Tops(const RichEditCtrl &left, const RichEditCtrl &right)
{
    PerSide<QTextBlock> tops;
    for (const RichEditCtrl *edit : {&left, &right})
        tops[edit == &left ? 0 : 1] =
            edit->Document()->findBlockByNumber(edit->BlockAt(edit->VerticalScrollBar().value()));
    return tops;
}

/// The paragraphs a renderer's rows begin at (its first row, or its last), where they end (its
/// insertion point), and the lines above the region the first row does not count; the
/// paragraphs it wrote are laid out first.
struct WrittenRows {
    PerSide<QTextBlock> starts;
    PerSide<QTextBlock> ends;
    PerSide<int> linesAbove{};
};

WrittenRows RowsOf(const PerSide<RecordRenderer *> &renderers, bool lastOnly)
{
    WrittenRows rows;
    for (Side side : kSides) {
        RecordRenderer &renderer = *renderers[Index(side)];
        // The paragraphs written in this idle slice are measured with the rows.
        renderer.Control().FlushLayoutBatch();
        rows.starts[Index(side)] = lastOnly ? renderer.LastRowStart() : renderer.FirstRowStart();
        rows.ends[Index(side)] = renderer.InsertionBlock();
        if (rows.starts[Index(side)] == renderer.FirstRowStart())
            rows.linesAbove[Index(side)] = renderer.LinesAboveRegion();
    }
    return rows;
}

} // namespace

void LevelClosedRow(RecordRenderer &left, RecordRenderer &right, int result)
{
    // Past the first row (which may begin down a paragraph), a row that is the same on both
    // sides is level as written: it is not measured, and the edits of the slice stay batched,
    // so the layout does not take them in row by row.
    QTextDocument &leftDocument = *left.Control().Document();
    QTextDocument &rightDocument = *right.Control().Document();
    if (left.LastRowStart() != left.FirstRowStart() &&
        right.LastRowStart() != right.FirstRowStart() &&
        NextRowsOfSameRow({&leftDocument, &rightDocument},
                          {left.LastRowStart(), right.LastRowStart()},
                          {left.InsertionBlock(), right.InsertionBlock()}, true))
        return;
    const WrittenRows rows = RowsOf({&left, &right}, true);
    RowLeveller::LevelRow(leftDocument, rightDocument, result, rows.starts, rows.ends,
                          rows.linesAbove);
}

void LevelWrittenRows(RecordRenderer &left, RecordRenderer &right, int result)
{
    const WrittenRows rows = RowsOf({&left, &right}, false);
    RowLeveller leveller(*left.Control().Document(), *right.Control().Document(), result,
                         rows.starts, rows.ends, rows.linesAbove);
    leveller.RunToEnd();
    left.TextChangedBefore();
    right.TextChangedBefore();
}

RowLeveller::RowLeveller(RichEditCtrl &left, RichEditCtrl &right, int result)
    : RowLeveller(*left.Document(), *right.Document(), result, Tops(left, right))
{}

void RowLeveller::SyncSides()
{
    // Both sides stand at the first row they have in common.
    auto &[leftAt, rightAt] = m_at;
    while (!Done() && RowStartOf(leftAt) != RowStartOf(rightAt)) {
        QTextBlock &behind = RowStartOf(leftAt) < RowStartOf(rightAt) ? leftAt : rightAt;
        do
            behind = behind.next();
        while (behind.isValid() && RowStartOf(behind) < 0);
    }
}

bool RowLeveller::Done() const
{
    const QTextBlock &left = m_at[Index(Side::Left)];
    if (!left.isValid() || !m_at[Index(Side::Right)].isValid())
        return true;
    // After the end of the text, the rows above the first one levelled.
    return m_wrapped && RowStartOf(left) >= m_firstRow;
}

void RowLeveller::Extend(Segment &segment, QTextBlock from, const QTextBlock &end)
{
    const LazyTextLayout *layout = LazyTextLayout::Of(*from.document());
    QTextBlock block = from;
    do {
        if (layout)
            layout->EnsureLaidOut(block);
        if (IsPaddingBlock(block))
            segment.padding.push_back(block);
        else
            segment.lines += std::max(1, block.lineCount());
        block = block.next();
    } while (block.isValid() && block != end && RowStartOf(block) < 0);
    segment.next = block == end ? QTextBlock() : block;
    segment.nextRow = segment.next.isValid() ? RowStartOf(block) : -1;
}

bool RowLeveller::Pad(QTextDocument &document, Segment &segment, int wanted, const QTextBlock &end,
                      int result)
{
    const int have = static_cast<int>(segment.padding.size());
    if (have == wanted)
        return false;
    if (have < wanted) {
        // At the end of the row, in front of the next one (of the last row: at the end).
        const int at = segment.next.isValid() ? segment.next.position()
                       : end.isValid()        ? end.position()
                                              : document.characterCount() - 1;
        InsertPadding(document, at, wanted - have, result);
        return true;
    }
    // The last padding lines go first; each is removed with the break in front of it, so that
    // the paragraphs around it keep their rows.
    for (int i = have - 1; i >= wanted; --i) {
        QTextCursor cursor(&document);
        cursor.setPosition(segment.padding[static_cast<std::size_t>(i)].position() - 1);
        cursor.deleteChar();
    }
    return true;
}

bool RowLeveller::LevelOneRow()
{
    if (m_linesAbove == PerSide<int>{}) {
        if (const auto next = NextRowsOfSameRow(m_documents, m_at, m_ends)) {
            m_at = *next;
            return AfterRow();
        }
    }
    PerSide<Segment> segments;
    for (Side side : kSides) {
        segments[Index(side)].lines = -std::exchange(m_linesAbove[Index(side)], 0);
        Extend(segments[Index(side)], m_at[Index(side)], m_ends[Index(side)]);
    }
    // A row that one side lacks joins the row above it, on both sides; rows that only one side
    // has after the other's last row join that last row.
    auto &[left, right] = segments;
    while (left.next.isValid() || right.next.isValid()) {
        if (left.next.isValid() && right.next.isValid() && left.nextRow == right.nextRow)
            break;
        Segment &behind = !right.next.isValid()          ? left
                          : !left.next.isValid()         ? right
                          : left.nextRow < right.nextRow ? left
                                                         : right;
        Extend(behind, behind.next, m_ends[Index(&behind == &left ? Side::Left : Side::Right)]);
    }
    const int lines = std::max(left.lines, right.lines);
    bool changed = false;
    for (Side side : kSides) {
        Segment &segment = segments[Index(side)];
        if (Pad(*m_documents[Index(side)], segment, lines - segment.lines, m_ends[Index(side)],
                m_result))
            changed = true;
        // The last row is level too, so that both texts end on the same line.
        m_at[Index(side)] = segment.next;
    }
    if (changed)
        ++m_changedRows;
    return AfterRow();
}

bool RowLeveller::AfterRow()
{
    if (Done() && m_rowsAbove && !m_wrapped) {
        // The end of the text: on with the rows above the window.
        m_wrapped = true;
        m_at = {FirstRowStart(*m_documents[Index(Side::Left)]),
                FirstRowStart(*m_documents[Index(Side::Right)])};
        SyncSides();
    }
    return !Done();
}

void RowLeveller::LevelRow(QTextDocument &left, QTextDocument &right, int result,
                           const PerSide<QTextBlock> &starts, const PerSide<QTextBlock> &ends,
                           const PerSide<int> &linesAbove)
{
    const PerSide<QTextDocument *> documents{&left, &right};
    if (linesAbove == PerSide<int>{} && NextRowsOfSameRow(documents, starts, ends))
        return;
    PerSide<Segment> segments;
    for (Side side : kSides) {
        Segment &segment = segments[Index(side)];
        segment.lines = -linesAbove[Index(side)];
        for (QTextBlock block = starts[Index(side)]; block.isValid() && block != ends[Index(side)];
             block = segment.next)
            Extend(segment, block, ends[Index(side)]);
    }
    const int lines = std::max(segments[0].lines, segments[1].lines);
    for (Side side : kSides) {
        Segment &segment = segments[Index(side)];
        Pad(*documents[Index(side)], segment, lines - segment.lines, ends[Index(side)], result);
    }
}

bool RowLeveller::Step(std::chrono::microseconds budget)
{
    if (Done())
        return false;
    const auto start = std::chrono::steady_clock::now();
    const auto deadline = start + budget;
    {
        const PerSide<UndoPause> undo{UndoPause(*m_documents[Index(Side::Left)]),
                                      UndoPause(*m_documents[Index(Side::Right)])};
        const QScopedValueRollback editing(m_editing, true);
        const int changedBefore = m_changedRows;
        while (LevelOneRow()) {
            if (std::chrono::steady_clock::now() >= deadline ||
                m_changedRows - changedBefore >= m_rowsPerStep)
                break;
        }
    }
    // Each edit is laid out as it is made (the layout takes in edits one at a time, and lays
    // out the rows it reaches); the number of rows a step may edit follows what the last step
    // took.
    const auto took = std::chrono::steady_clock::now() - start;
    if (took > budget)
        m_rowsPerStep = std::max(1, m_rowsPerStep / 2);
    else if (took < budget / 2)
        m_rowsPerStep = std::min(kMostRowsPerStep, m_rowsPerStep * 2);
    return !Done();
}

void RowLeveller::RunToEnd()
{
    while (Step(std::chrono::seconds(1))) {
    }
}

} // namespace kivo

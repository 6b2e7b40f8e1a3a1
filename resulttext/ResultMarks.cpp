#include "resulttext/ResultMarks.h"

#include "RichEditCtrl.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <limits>
#include <utility>

namespace kivo {
namespace {

void SetMark(QTextCharFormat &format, const RunMark &mark)
{
    // A new mark stands for nothing yet, whatever the format it was made from stood for.
    format.clearProperty(kRunTextProperty);
    format.clearProperty(kRunLeadingBreaksProperty);
    format.setProperty(kRunResultProperty, mark.result);
    format.setProperty(kRunRecordProperty, mark.record);
    format.setProperty(kRunKindProperty, static_cast<int>(mark.kind));
}

void ClearMark(QTextCharFormat &format)
{
    format.clearProperty(kRunResultProperty);
    format.clearProperty(kRunRecordProperty);
    format.clearProperty(kRunKindProperty);
    format.clearProperty(kRunTextProperty);
    format.clearProperty(kRunLeadingBreaksProperty);
}

} // namespace

UndoPause::UndoPause(QTextDocument &document)
    : m_document(document), m_wasEnabled(document.isUndoRedoEnabled()),
      m_wasModified(document.isModified())
{
    if (m_wasEnabled)
        m_document.setUndoRedoEnabled(false);
}

UndoPause::~UndoPause()
{
    if (m_wasEnabled)
        m_document.setUndoRedoEnabled(true);
    // Kivo's own edits (padding, levelling) are no edits of the user's.
    if (!m_wasModified)
        m_document.setModified(false);
}

RunKind KindOfStatus(TextStatus status)
{
    return static_cast<RunKind>(static_cast<int>(status) + 1);
}

bool IsDifference(RunKind kind)
{
    return kind == RunKind::Changed || kind == RunKind::Added || kind == RunKind::Deleted ||
           kind == RunKind::Moved;
}

std::optional<RunMark> MarkOf(const QTextCharFormat &format)
{
    if (!format.hasProperty(kRunKindProperty))
        return std::nullopt;
    const int kind = format.intProperty(kRunKindProperty);
    if (kind <= 0 || kind > static_cast<int>(RunKind::Moved))
        return std::nullopt;
    return RunMark{format.intProperty(kRunResultProperty), format.intProperty(kRunRecordProperty),
                   static_cast<RunKind>(kind)};
}

QTextCharFormat Marked(QTextCharFormat format, const RunMark &mark)
{
    SetMark(format, mark);
    return format;
}

void SetInsertionMark(RichEditCtrl &edit, const std::optional<RunMark> &mark)
{
    QTextCharFormat format = edit.InsertionFormat();
    if (mark)
        SetMark(format, *mark);
    else
        ClearMark(format);
    // Unlike replacing the cursor, this neither moves nor scrolls.
    edit.SetInsertionFormat(format);
}

std::optional<std::string> StandsFor(const QTextCharFormat &format)
{
    if (!format.hasProperty(kRunTextProperty))
        return std::nullopt;
    const QByteArray text = format.property(kRunTextProperty).toByteArray();
    return std::string(text.constData(), static_cast<std::size_t>(text.size()));
}

QTextCharFormat StandingFor(QTextCharFormat format, std::string_view text)
{
    format.setProperty(kRunTextProperty,
                       QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    return format;
}

bool DropInsertedMark(QTextCharFormat &format)
{
    if (!IsInsertedBreak(format))
        return false;
    ClearMark(format);
    return true;
}

bool IsInsertedBreak(const QTextCharFormat &format)
{
    const std::optional<RunMark> mark = MarkOf(format);
    return mark && (mark->kind == RunKind::Separator || mark->kind == RunKind::Padding);
}

QTextCharFormat BreakFormat(const QTextBlock &block)
{
    // A block's character format is that of the paragraph break in front of it.
    const QTextBlock next = block.next();
    return next.isValid() ? next.charFormat() : QTextCharFormat();
}

void AdoptTypedText(QTextDocument &document, int start, int end)
{
    struct Span {
        int start;
        int end;
        QTextCharFormat format;
    };
    std::vector<Span> spans;
    for (QTextBlock block = document.findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int from = std::max(start, fragment.position());
            const int to = std::min(end, fragment.position() + fragment.length());
            if (from < to && IsInsertedBreak(fragment.charFormat()))
                spans.push_back({from, to, fragment.charFormat()});
            if (to >= end)
                break;
        }
        const int breakPosition = block.position() + block.length() - 1;
        if (breakPosition >= start && breakPosition < end && IsInsertedBreak(BreakFormat(block)))
            spans.push_back({breakPosition, breakPosition + 1, BreakFormat(block)});
    }
    if (spans.empty())
        return;
    QTextCursor cursor(&document);
    // Inside the edit block the cursor does not measure the paragraphs it is moved into.
    cursor.joinPreviousEditBlock();
    for (Span &span : spans) {
        ClearMark(span.format);
        cursor.setPosition(span.start);
        cursor.setPosition(span.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(span.format);
    }
    cursor.endEditBlock();
}

std::vector<MarkedRun> CollectRuns(const QTextDocument &document, int result)
{
    RunCollector collector(document, result);
    collector.Collect(std::numeric_limits<std::int64_t>::max());
    return collector.Take();
}

RunCollector::RunCollector(const QTextDocument &document, int result)
    : m_result(result), m_block(document.begin())
{}

RunCollector::RunCollector(const QTextBlock &first, const QTextBlock &last, int result)
    : m_result(result), m_block(first), m_stop(last.next())
{}

bool RunCollector::Collect(std::int64_t units)
{
    while (m_block.isValid() && m_block != m_stop) {
        if (!m_fragment)
            m_fragment = m_block.begin();
        for (; !m_fragment->atEnd(); ++*m_fragment) {
            if (units-- <= 0)
                return false;
            const QTextFragment fragment = m_fragment->fragment();
            Add(fragment.position(), fragment.position() + fragment.length(),
                fragment.charFormat());
        }
        if (units-- <= 0)
            return false;
        // The paragraph break that ends the block carries the next block's character format.
        const QTextBlock next = m_block.next();
        if (next.isValid())
            Add(next.position() - 1, next.position(), next.charFormat());
        m_block = next;
        m_fragment.reset();
    }
    return true;
}

void RunCollector::Add(int start, int end, const QTextCharFormat &format)
{
    const std::optional<RunMark> mark = MarkOf(format);
    if (!mark || mark->result != m_result || mark->kind == RunKind::Padding)
        return;
    if (!m_runs.empty() && m_runs.back().record == mark->record &&
        m_runs.back().kind == mark->kind && m_runs.back().end == start) {
        m_runs.back().end = end;
        return;
    }
    m_runs.push_back(MarkedRun{start, end, mark->record, mark->kind});
}

TextEdit MergeEdits(const TextEdit &earlier, const TextEdit &later)
{
    // The stretch of the text between the two edits, as it stood after the earlier one, counts
    // as changed by both.
    const int start = std::min(earlier.from, later.from);
    const int end = std::max(later.from + later.removed, earlier.from + earlier.added);
    return TextEdit{
        start, earlier.removed + (earlier.from - start) + (end - (earlier.from + earlier.added)),
        end - start + later.added - later.removed};
}

RunsReplaced UpdateRuns(std::vector<MarkedRun> &runs, const QTextDocument &document, int result,
                        const TextEdit &edit)
{
    const int delta = edit.added - edit.removed;
    const int lastPosition = std::max(0, document.characterCount() - 1);
    // The paragraphs the edit touched, in the text after it: from the start of the one where
    // it begins to the break that ends the one where its new text ends.
    const QTextBlock first = document.findBlock(std::clamp(edit.from, 0, lastPosition));
    const QTextBlock last = document.findBlock(std::clamp(edit.from + edit.added, 0, lastPosition));
    const int start = first.position();
    const int end = last.position() + last.length();
    // The same stretch in the text before the edit: everything outside it is unchanged.
    const int oldEnd = end - delta;

    // The runs that reach into the stretch (ends and starts are both in order).
    const auto lo = std::partition_point(runs.begin(), runs.end(),
                                         [start](const MarkedRun &r) { return r.end <= start; });
    const auto hi = std::partition_point(lo, runs.end(),
                                         [oldEnd](const MarkedRun &r) { return r.start < oldEnd; });
    std::vector<MarkedRun> middle;
    const auto append = [&middle](const MarkedRun &run) {
        if (!middle.empty() && middle.back().record == run.record &&
            middle.back().kind == run.kind && middle.back().end == run.start) {
            middle.back().end = run.end;
            return;
        }
        middle.push_back(run);
    };
    // The run before the stretch, and the one after it, may join what is read in between.
    if (lo != runs.begin())
        append(*std::prev(lo));
    if (lo != hi && lo->start < start)
        append(MarkedRun{lo->start, start, lo->record, lo->kind});
    RunCollector collector(first, last, result);
    collector.Collect(std::numeric_limits<std::int64_t>::max());
    for (const MarkedRun &run : collector.Take())
        append(run);
    if (lo != hi) {
        const MarkedRun &tail = *std::prev(hi);
        if (tail.end > oldEnd)
            append(MarkedRun{oldEnd + delta, tail.end + delta, tail.record, tail.kind});
    }
    if (hi != runs.end())
        append(MarkedRun{hi->start + delta, hi->end + delta, hi->record, hi->kind});

    const auto from = lo != runs.begin() ? std::prev(lo) : lo;
    const auto to = hi != runs.end() ? std::next(hi) : hi;
    RunsReplaced replaced;
    replaced.first = static_cast<std::size_t>(from - runs.begin());
    replaced.before.assign(from, to);
    replaced.after = middle.size();
    for (auto run = to; run != runs.end(); ++run) {
        run->start += delta;
        run->end += delta;
    }
    const auto at = runs.erase(from, to);
    runs.insert(at, middle.begin(), middle.end());
    return replaced;
}

int CaretKey(const std::vector<MarkedRun> &runs, int position)
{
    // The last run that starts at or before the position.
    const auto after = std::upper_bound(runs.begin(), runs.end(), position,
                                        [](int p, const MarkedRun &run) { return p < run.start; });
    if (after == runs.begin())
        return -1;
    const MarkedRun &run = *std::prev(after);
    return position < run.end ? 2 * run.record : 2 * run.record + 1;
}

std::optional<int> StepDifference(const std::vector<int> &differences, int caretKey, bool forward)
{
    if (forward) {
        const auto next = std::upper_bound(differences.begin(), differences.end(), caretKey,
                                           [](int key, int record) { return key < 2 * record; });
        if (next == differences.end())
            return std::nullopt;
        return *next;
    }
    const auto next = std::lower_bound(differences.begin(), differences.end(), caretKey,
                                       [](int record, int key) { return 2 * record < key; });
    if (next == differences.begin())
        return std::nullopt;
    return *std::prev(next);
}

int RowStartOf(const QTextBlock &block)
{
    const int state = block.userState();
    return state >= 0 ? state : -1;
}

bool IsPaddingBlock(const QTextBlock &block)
{
    return block.userState() == kPaddingBlock && block.length() == 1;
}

bool TypedText::Note(QTextDocument &document, int start, int end)
{
    QTextCursor typed(&document);
    typed.setPosition(start);
    typed.setPosition(end, QTextCursor::KeepAnchor);
    m_ranges.push_back(typed);
    return m_ranges.size() == 1;
}

void TypedText::Adopt(QTextDocument &document)
{
    // Cursors follow the edits made since, so the ranges are still those typed.
    for (const QTextCursor &typed : std::exchange(m_ranges, {}))
        AdoptTypedText(document, typed.selectionStart(), typed.selectionEnd());
}

int RowStartAt(const QTextDocument &document, int position)
{
    QTextBlock block = document.findBlock(position);
    while (block.isValid() && RowStartOf(block) < 0 && block.previous().isValid())
        block = block.previous();
    return block.isValid() ? block.position() : position;
}

void ForgetRows(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.userState() != kNoRowStart)
            block.setUserState(kNoRowStart);
    }
}

void InsertPadding(QTextDocument &document, int position, int n, int result)
{
    if (n < 1)
        return;
    QTextBlock block = document.findBlock(position);
    QTextCursor cursor(&document);
    const bool atParagraphStart = block.isValid() && block.position() == position;
    const QTextBlock before = atParagraphStart ? block.previous() : QTextBlock();
    const bool atParagraphEnd =
        !atParagraphStart && block.isValid() && position == block.position() + block.length() - 1;
    // At a paragraph start the breaks go at the end of the paragraph before, so that the
    // paragraph (and its row) stays the block it is; the text is the same either way.
    cursor.setPosition(before.isValid() ? position - 1 : position);
    QTextCharFormat format = cursor.charFormat();
    // Padding stands for nothing of the user's, whatever the character before it stood for.
    ClearMark(format);
    SetMark(format, RunMark{result, 0, RunKind::Padding});
    const int rowState = block.userState();
    {
        const UndoPause pause(document);
        for (int i = 0; i < n; ++i)
            cursor.insertBlock(cursor.blockFormat(), format);
    }
    if (before.isValid() || atParagraphEnd) {
        // The new blank lines follow the paragraph before the position, or the one it ends.
        QTextBlock padding = (before.isValid() ? before : block).next();
        for (int i = 0; i < n && padding.isValid(); ++i, padding = padding.next())
            padding.setUserState(kPaddingBlock);
    } else if (atParagraphStart) {
        // The first paragraph of the document was split: its text moved to the last new block.
        QTextBlock padding = document.findBlock(position);
        for (int i = 0; i < n && padding.isValid(); ++i, padding = padding.next())
            padding.setUserState(kPaddingBlock);
        if (padding.isValid())
            padding.setUserState(rowState);
    }
}

void RemoveLines(QTextDocument &document, int position, int n)
{
    if (n < 1)
        return;
    const QTextBlock last = document.findBlock(position + n);
    const int rowState =
        last.isValid() && last.position() == position + n ? last.userState() : kNoRowStart;
    QTextCursor cursor(&document);
    cursor.setPosition(position);
    cursor.setPosition(position + n, QTextCursor::KeepAnchor);
    {
        const UndoPause pause(document);
        cursor.removeSelectedText();
    }
    QTextBlock merged = document.findBlock(position);
    if (rowState != kNoRowStart && merged.isValid() && merged.position() == position)
        merged.setUserState(rowState);
}

} // namespace kivo

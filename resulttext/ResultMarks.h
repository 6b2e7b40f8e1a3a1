#pragma once

#include "RichOptions.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextFormat>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QTextBlock;
class QTextCharFormat;
class QTextDocument;

namespace kivo {

class RichEditCtrl;

/// What a rendered run of a result is. The values of the text kinds are the status plus one, so
/// that 0 stays "no mark".
enum class RunKind : int {
    None = 0,
    Original = 1,
    Same = 2,
    Changed = 3,
    Added = 4,
    Deleted = 5,
    Separator = 6, ///< the line break (and blank line) that closes a row
    Padding = 7,   ///< blank lines inserted to keep the rows level
    Moved = 8,     ///< a deleted or added sentence whose other end stands elsewhere
};

RunKind KindOfStatus(TextStatus status);
/// Changed, added, deleted and moved runs: the ones the difference commands stop at.
bool IsDifference(RunKind kind);

/// The invisible mark of a rendered run, kept in its character format so that it survives
/// editing and colours that the user set equal for two statuses. `result` tells the results of
/// two comparisons apart (a comparison of selections leaves the text around them as it was).
struct RunMark {
    int result = 0;
    int record = 0;
    RunKind kind = RunKind::None;
    friend bool operator==(const RunMark &, const RunMark &) = default;
};

inline constexpr int kRunResultProperty = QTextFormat::UserProperty + 1;
inline constexpr int kRunRecordProperty = QTextFormat::UserProperty + 2;
inline constexpr int kRunKindProperty = QTextFormat::UserProperty + 3;
/// The code page 932 text of a run drawn in another form (whitespace as underscores).
inline constexpr int kRunTextProperty = QTextFormat::UserProperty + 4;
/// The number of the user's line breaks before the text's first sentence, on its first run.
inline constexpr int kRunLeadingBreaksProperty = QTextFormat::UserProperty + 5;

/// The mark a format carries; nullopt for text that is not part of a result.
std::optional<RunMark> MarkOf(const QTextCharFormat &format);
/// Makes the control's insertion format (or the selection's) carry the mark, or none, so that
/// the text inserted next carries it.
void SetInsertionMark(RichEditCtrl &edit, const std::optional<RunMark> &mark);
/// The format with the mark set on it.
QTextCharFormat Marked(QTextCharFormat format, const RunMark &mark);

/// The text a run drawn in another form stands for; nullopt for a run shown as it is.
std::optional<std::string> StandsFor(const QTextCharFormat &format);
/// The format with the text its run stands for set on it.
QTextCharFormat StandingFor(QTextCharFormat format, std::string_view text);

/// Whether a paragraph break in this format is one Kivo inserted into a result: a separator that
/// closes a row, or padding that levels the rows. Such breaks are not the user's text.
bool IsInsertedBreak(const QTextCharFormat &format);
/// The character format of the paragraph break that ends block (that of the block after it);
/// the default format for the last block, which ends in no break of the text.
QTextCharFormat BreakFormat(const QTextBlock &block);
/// Takes a separator's or padding's mark off the format; true when it had one. What the user
/// types into a blank line of a result takes its format without the mark: it is their text.
bool DropInsertedMark(QTextCharFormat &format);
/// Makes what the user just typed or pasted from start to end their own text: characters that
/// took the separator's or padding's mark from the blank line they went into lose it, so that a
/// line break typed there is kept as the user's. The change joins the edit's undo step, so that
/// undo takes both back at once. Call it only for the user's own edits, never for undo or redo.
void AdoptTypedText(QTextDocument &document, int start, int end);

/// The ranges the user typed or pasted into a document since they were last adopted, followed
/// through the edits made since (AdoptTypedText on each, once the edit is complete).
class TypedText {
public:
    /// Notes a range; true when it is the first one since the last Adopt.
    bool Note(QTextDocument &document, int start, int end);
    /// Adopts every range noted and forgets them.
    void Adopt(QTextDocument &document);

private:
    std::vector<QTextCursor> m_ranges;
};

/// The first character of the row that holds position: of the paragraph at or above it that
/// begins a row, or of the document's first paragraph.
int RowStartAt(const QTextDocument &document, int position);

/// One run of a result as it stands in the text now: consecutive characters with the same mark.
struct MarkedRun {
    int start = 0;
    int end = 0;
    int record = 0;
    RunKind kind = RunKind::None;
    friend bool operator==(const MarkedRun &, const MarkedRun &) = default;
};

/// The runs of one result in a document, in text order (padding left out).
std::vector<MarkedRun> CollectRuns(const QTextDocument &document, int result);

/// Collects the runs of one result (as CollectRuns) over several calls, a bounded number of
/// paragraphs and fragments at a time, so that a long result is read without a freeze. The
/// document must neither change nor go away until the collection is done.
class RunCollector {
public:
    RunCollector(const QTextDocument &document, int result);
    /// Collects from the paragraph first through the paragraph last only (the break after last
    /// included), both of the document.
    RunCollector(const QTextBlock &first, const QTextBlock &last, int result);
    /// The result whose runs are collected.
    int Result() const { return m_result; }
    /// Visits up to units more fragments and paragraph ends; true once the whole document has
    /// been visited.
    bool Collect(std::int64_t units);
    /// The runs found; all of them once Collect returned true.
    std::vector<MarkedRun> Take() { return std::move(m_runs); }

private:
    /// Adds the text from start to end in format: a run of its own or the end of the last one.
    void Add(int start, int end, const QTextCharFormat &format);

    int m_result;
    QTextBlock m_block;
    /// The paragraph the collection stops at; invalid for the end of the document.
    QTextBlock m_stop;
    /// The next fragment of m_block, once its fragments are being visited.
    std::optional<QTextBlock::iterator> m_fragment;
    std::vector<MarkedRun> m_runs;
};

/// An edit of a document, as QTextDocument::contentsChange tells it: from position `from`, the
/// `removed` characters that stood there were replaced by `added` characters.
struct TextEdit {
    int from = 0;
    int removed = 0;
    int added = 0;
};

/// Merges a later edit into an earlier one: the edit that takes the text before `earlier` to the
/// text after `later` (characters in between are counted as changed).
TextEdit MergeEdits(const TextEdit &earlier, const TextEdit &later);

/// What UpdateRuns replaced: the runs from index first on, `before` of them, gave way to `after`
/// runs; the runs after them only moved.
struct RunsReplaced {
    std::size_t first = 0;
    std::vector<MarkedRun> before;
    std::size_t after = 0;
};

/// Brings runs that CollectRuns gave for the text before an edit up to date with the document
/// after it: the runs after the edit are moved, the paragraphs the edit touched are read again,
/// and the runs at either end join the ones read when they continue them. The result is what
/// CollectRuns gives now. O(paragraphs touched + runs after the edit).
RunsReplaced UpdateRuns(std::vector<MarkedRun> &runs, const QTextDocument &document, int result,
                        const TextEdit &edit);

/// Where the caret stands among the runs, as a number that orders it against records: 2r inside
/// a run of record r, 2r + 1 after one and before the next, -1 before every run.
int CaretKey(const std::vector<MarkedRun> &runs, int position);

/// The difference record the next (forward) or previous step from a caret key goes to, among
/// the sorted difference records.
std::optional<int> StepDifference(const std::vector<int> &differences, int caretKey, bool forward);

/// Keeps the edits made while it lives out of the undo history and out of the modified state. Like
/// the control's own non-undoable replacement, it clears the history: its steps would refer to
/// moved positions.
class UndoPause {
public:
    explicit UndoPause(QTextDocument &document);
    ~UndoPause();
    UndoPause(const UndoPause &) = delete;
    UndoPause &operator=(const UndoPause &) = delete;

private:
    QTextDocument &m_document;
    bool m_wasEnabled;
    bool m_wasModified;
};

// --- Rows ------------------------------------------------------------------------------------
// Each paragraph of a result knows its row through its block state: the first paragraph of row
// r holds r, a blank line Kivo inserted to level the rows holds kPaddingBlock, every other
// paragraph kNoRowStart (it belongs to the row above it).

inline constexpr int kNoRowStart = -1;
inline constexpr int kPaddingBlock = -3;

/// The row a paragraph starts, or -1.
int RowStartOf(const QTextBlock &block);
/// Whether the paragraph is an empty blank line Kivo inserted.
bool IsPaddingBlock(const QTextBlock &block);
/// Forgets every row of the document.
void ForgetRows(QTextDocument &document);

/// Inserts n paragraph breaks at position, unmarked as far as the undo history is concerned, and
/// keeps the rows right: at the start of a paragraph the n new blank lines are padding and the
/// paragraph's text keeps its row; at the end of one they are padding after it. The breaks carry
/// the padding mark of the given result.
void InsertPadding(QTextDocument &document, int position, int n, int result);
/// Removes the n characters at position (the control's own deletion), and gives the paragraph
/// that remains there the row of the paragraph whose text now starts it.
void RemoveLines(QTextDocument &document, int position, int n);

} // namespace kivo

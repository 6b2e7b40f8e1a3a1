#pragma once

#include "RichEditCtrl.h"
#include "driver/ResultView.h"

#include <QTextCharFormat>

#include <optional>
#include <string>
#include <utility>

namespace kivo {

struct RichOptions;

/// Writes the records of a comparison's result into a text control, in place of the compared
/// region, and edits the region line by line when the rows are levelled: padding, deletions,
/// the caret. Lines here count from the region's first line.
class RecordRenderer {
public:
    /// The control and the options must outlive the renderer.
    RecordRenderer(RichEditCtrl &edit, const RichOptions &options);

    /// A new result is about to replace region: the whole text, or the selection when selection.
    void Begin(const CharRange &region, bool selection);
    /// Writes one record at the insertion point, in the format of its status (or of a moved
    /// sentence), marked with the result's number; notes the row it begins. Returns the record's
    /// number in the result.
    int Render(const ResultPair &record, const std::string &text, const RecordBreaks &breaks,
               RowStarts &rowStarts, bool moved, int result);

    /// The control's line of the region's first line.
    int FirstLine() const { return m_firstLine; }
    int LineCount() const;
    int LineOfChar(int position) const;
    bool LinesAreBlank(int from, int to) const;
    /// Inserts n blank lines of padding of result before line.
    void InsertBlankLines(int line, int n, int result);
    void DeleteAtLine(int line, int n);
    void CaretToLastLine();

private:
    int ToControlLine(int regionLine) const { return m_firstLine + regionLine; }
    /// What the caret's format depends on: its place and the length of the text.
    std::pair<int, int> CaretKey() const;
    /// The format of what follows a record's text, as left at the caret.
    QTextCharFormat FormatAfterText() const;

    RichEditCtrl &m_edit;
    const RichOptions &m_options;
    /// First line of the compared region; 0 for the whole text.
    int m_firstLine = 0;
    /// m_firstLine plus the lines after the region's last line; 0 for the whole text.
    int m_trailer = 0;
    /// Row starts recorded so far.
    int m_rowCount = 0;
    /// The record rendered last closed a sentence pair: the next text begins a new row.
    bool m_atSentenceEnd = true;
    /// Records and rows rendered so far (rows with the aligned layout only).
    int m_renderedRecords = 0;
    int m_renderedRows = 0;
    /// The format for what follows the text written last, while the caret stays at m_afterKey.
    std::optional<QTextCharFormat> m_after;
    std::pair<int, int> m_afterKey{-1, -1};
};

} // namespace kivo

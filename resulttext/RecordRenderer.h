#pragma once

#include "RichEditCtrl.h"
#include "driver/ResultView.h"
#include "resulttext/ResultMarks.h"

#include <QTextBlock>
#include <QTextCharFormat>

#include <array>
#include <optional>
#include <string>
#include <utility>

namespace kivo {

struct RichOptions;

/// Writes the records of a comparison's result into a text control, in place of the compared
/// region, and notes where the rows it writes begin.
class RecordRenderer {
public:
    /// The control and the options must outlive the renderer.
    RecordRenderer(RichEditCtrl &edit, const RichOptions &options);

    /// A new result is about to replace region: the whole text, or the selection when selection.
    void Begin(const CharRange &region, bool selection);
    /// The control's line of the region's first line.
    int FirstLine() const { return m_firstLine; }
    /// Removes the region's text, to write the result in its place (not undoable, as the
    /// result is not either).
    void ClearRegion(const CharRange &region);
    /// The control written into.
    RichEditCtrl &Control() const { return m_edit; }
    /// The lines of the first row's paragraph above the region's first line: a selection may
    /// begin further down its paragraph, and the rows are level from the region's first line.
    int LinesAboveRegion() const;
    /// Writes one record at the insertion point, in the format of its status (or of a moved
    /// sentence), marked with the result's number; marks the row it begins. Returns the
    /// record's number in the result.
    int Render(const ResultPair &record, const std::string &text, const RecordBreaks &breaks,
               bool moved, int result);

    /// The first paragraph of the first row written, and of the row written last (invalid
    /// before the first row).
    const QTextBlock &FirstRowStart() const { return m_firstRowStart; }
    const QTextBlock &LastRowStart() const { return m_lastRowStart; }
    /// The rows begun so far.
    int RenderedRows() const { return m_renderedRows; }
    /// The paragraph of the insertion point, where the next row begins.
    QTextBlock InsertionBlock() const;
    /// The text before the insertion point changed by other hands than the renderer's (the
    /// rows were levelled): what it knows of the format there is forgotten.
    void TextChangedBefore() { m_after.reset(); }

private:
    /// What the caret's format depends on: its place and the length of the text.
    std::pair<int, int> CaretKey() const;
    /// The format of what follows a record's text, as left at the caret.
    QTextCharFormat FormatAfterText() const;

    RichEditCtrl &m_edit;
    const RichOptions &m_options;
    /// First line of the compared region; 0 for the whole text.
    int m_firstLine = 0;
    /// The region's first character; 0 for the whole text.
    int m_regionStart = 0;
    /// The record rendered last closed a sentence pair: the next text begins a new row.
    bool m_atSentenceEnd = true;
    /// Records and rows rendered so far (rows with the aligned layout only).
    int m_renderedRecords = 0;
    int m_renderedRows = 0;
    QTextBlock m_firstRowStart;
    QTextBlock m_lastRowStart;
    /// A status's (or a moved sentence's) colour and effects as a text format, and the format
    /// of what follows its text: the original colour without effects.
    struct KindFormats {
        QTextCharFormat text;
        QTextCharFormat after;
    };
    /// The formats of a kind of run, worked out once per rendering (the conversion costs more
    /// than inserting a sentence).
    const KindFormats &FormatsOf(RunKind kind, TextStatus status);
    std::array<std::optional<KindFormats>, static_cast<std::size_t>(RunKind::Moved) + 1>
        m_kindFormats;
    /// The format for what follows the text written last, while the caret stays at m_afterKey.
    std::optional<QTextCharFormat> m_after;
    std::pair<int, int> m_afterKey{-1, -1};
};

} // namespace kivo

#pragma once

#include "resulttext/DiffMapBuckets.h"
#include "resulttext/ResultMarks.h"

#include <QTextBlock>

#include <optional>
#include <vector>

class QTextDocument;

namespace kivo {

/// What one window of a result holds, row by row, as the map of the differences needs it; read
/// in one pass over the text.
struct DocumentRows {
    /// What the window holds in one row: any text of the result, and the kinds of difference
    /// (bit 1 << RunKind).
    struct Side {
        bool text = false;
        unsigned kinds = 0;
        friend bool operator==(const Side &, const Side &) = default;
    };
    /// The first paragraph of a row: its row number and the document y of its top.
    struct Start {
        int row = 0;
        double top = 0;
        friend bool operator==(const Start &, const Start &) = default;
    };
    std::vector<Side> sides;   ///< by row number
    std::vector<Start> starts; ///< in text order
    /// Document y of the bottom of the result's last paragraph.
    double resultBottom = 0;
    /// Without rows (the result as running text): one stretch for each run of a difference.
    std::vector<MapSpan> runSpans;
    friend bool operator==(const DocumentRows &, const DocumentRows &) = default;
};

/// Reads the rows of a laid-out document that shows a result whose runs are given
/// (CollectRuns). O(paragraphs + runs).
DocumentRows ReadRows(const QTextDocument &document, const std::vector<MarkedRun> &runs);

/// What ReadRows reads of a window's rows, kept through edits: the paragraphs that start a row,
/// the padding paragraphs, and what each row holds, so that after an edit only the paragraphs it
/// touched are read again. The document y of the rows is looked up when the rows are asked for,
/// in one pass over the paragraphs' heights.
class RowIndex {
public:
    /// The text changed by edit (QTextDocument::contentsChange); without one, everything is read
    /// again. The paragraphs are read when the rows are next asked for, once the rows of Kivo's
    /// own edits (padding, levelling) have been set.
    void TextChanged(std::optional<TextEdit> edit);
    /// The rows, as ReadRows gives them, of a laid-out document whose runs are given
    /// (CollectRuns). O(paragraphs the edits since touched + rows + paragraphs' heights).
    DocumentRows Rows(const QTextDocument &document, const std::vector<MarkedRun> &runs);
    /// Reads up to paragraphs more paragraphs when the whole document must be read (at first, or
    /// after edits all over it), so that a long text is read over several calls before Rows is
    /// asked for; reads the paragraphs an edit touched at once. True once Rows will read nothing
    /// more. The document must not change between calls unless TextChanged is told.
    bool ReadStep(const QTextDocument &document, const std::vector<MarkedRun> &runs,
                  int paragraphs);

private:
    /// A row start and the paragraphs after it up to the next one.
    struct Segment {
        int block = 0; ///< block number of the row's first paragraph
        int row = 0;
        DocumentRows::Side side;
        bool hasRuns = false; ///< whether any run starts in the segment
    };

    /// A reading of the whole document under way.
    struct Reading {
        QTextBlock block; ///< the next paragraph to read
        int number = 0;   ///< its block number
        std::size_t run = 0;
        int blockCount = 0; ///< the document's when the reading began
        std::vector<Segment> segments;
        std::vector<int> padding;
    };

    /// Reads again what edit touched; false when the edit does not add up to the document.
    bool ReadEdit(const QTextDocument &document, const std::vector<MarkedRun> &runs,
                  const TextEdit &edit);
    /// Works out what the segments from first to last (indexes) hold from the runs.
    void ReadSides(const QTextDocument &document, const std::vector<MarkedRun> &runs,
                   std::size_t first, std::size_t last);

    bool m_valid = false;
    std::optional<TextEdit> m_pending;
    std::optional<Reading> m_reading;
    std::vector<Segment> m_segments; ///< in text order
    std::vector<int> m_padding;      ///< block numbers of the padding paragraphs, in order
    int m_blockCount = 0;            ///< the document's when last read
    int m_length = 0;                ///< the document's characterCount when last read
};

/// The stretches of the window read as `here` that the map marks, in text order, in document y.
///
/// When the result is laid out row by row, each row whose sentences differ in either window is
/// one stretch, from its first line to the next row (its padding included), so that a sentence
/// added in the other window shows here too, where its blank lines stand. A row holds a moved
/// sentence (Moved); else text on both sides with any difference in it (Changed); else the
/// sentence one side alone holds (Deleted or Added). `there` is the other window of the same
/// result, or null. The last row ends with the result, so that text after a compared selection
/// is not marked. Without rows, the runs of differences here are the stretches. O(rows).
std::vector<MapSpan> DifferenceSpans(const DocumentRows &here, const DocumentRows *there);

} // namespace kivo

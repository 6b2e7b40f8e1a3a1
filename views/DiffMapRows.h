#pragma once

#include "views/DiffMapBuckets.h"
#include "views/ResultMarks.h"

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
    };
    /// The first paragraph of a row: its row number and the document y of its top.
    struct Start {
        int row = 0;
        double top = 0;
    };
    std::vector<Side> sides;   ///< by row number
    std::vector<Start> starts; ///< in text order
    /// Document y of the bottom of the result's last paragraph.
    double resultBottom = 0;
    /// Without rows (the result as running text): one stretch for each run of a difference.
    std::vector<MapSpan> runSpans;
};

/// Reads the rows of a laid-out document that shows a result whose runs are given
/// (CollectRuns). O(paragraphs + runs).
DocumentRows ReadRows(const QTextDocument &document, const std::vector<MarkedRun> &runs);

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

#pragma once

#include "views/DiffMapBuckets.h"
#include "views/ResultMarks.h"

#include <vector>

class QTextDocument;

namespace kivo {

/// One window's text of a result, as the map of the differences reads it: the document (laid
/// out) and the runs of the result in it (CollectRuns).
struct MapSide {
    const QTextDocument *document = nullptr;
    const std::vector<MarkedRun> *runs = nullptr;
};

/// The stretches of `here` that the map marks, in text order, in document y.
///
/// When the result is laid out row by row, each row whose sentences differ in either window is
/// one stretch, from its first line to the next row (its padding included), so that a sentence
/// added in the other window shows here too, where its blank lines stand. A row holds a moved
/// sentence (Moved); else text on both sides with any difference in it (Changed); else the
/// sentence one side alone holds (Deleted or Added). `there` is the other window of the same
/// result, or a side without a document when there is none.
///
/// Without rows (the result as running text), each run of a difference here is a stretch of its
/// own kind.
std::vector<MapSpan> DifferenceSpans(const MapSide &here, const MapSide &there);

} // namespace kivo

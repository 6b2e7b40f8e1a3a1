#pragma once

#include "resulttext/ResultMarks.h"

#include <vector>

namespace kivo {

/// A stretch of a text window's document that the map of the differences marks: document y of
/// its top and bottom, in pixels, and the kind of difference that lies there.
struct MapSpan {
    double top = 0;
    double bottom = 0;
    RunKind kind = RunKind::None;
    friend bool operator==(const MapSpan &, const MapSpan &) = default;
};

/// Which kind a pixel row shows when rows of several kinds fall on it: the rarer kinds win, so
/// that a moved or deleted sentence is not hidden in a crowd of changed ones. 0 for no mark.
int MapRank(RunKind kind);

/// The kind each of `pixels` pixel rows of a map shows, for a document `height` pixels high
/// drawn over those pixel rows: RunKind::None where no span lies. A span covers at least
/// kMinMarkPixels pixel rows, so that one sentence in a long text stays visible. O(spans +
/// pixels) for spans that do not overlap; empty when pixels < 1 or height <= 0.
std::vector<RunKind> BuildMapBuckets(const std::vector<MapSpan> &spans, double height, int pixels);

/// Height of the smallest mark, in pixel rows.
inline constexpr int kMinMarkPixels = 3;

} // namespace kivo

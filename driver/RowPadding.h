#pragma once

#include "RichOptions.h"
#include "Side.h"
#include "driver/ResultView.h"

namespace kivo {

/// How PadRows evens out the two views' line counts.
enum class PadMode { Pad, Trim };

/// Evens out the last region lines of the two views (nothing with the unchanged line layout or when
/// a view is missing). Pad adds blank lines to the view with fewer; Trim removes the surplus blank
/// lines of the longer view, and where those lines hold text pads the other view instead, so that
/// nothing the user compared is ever deleted.
void PadRows(const PerSide<IResultView *> &views, PadMode mode, const RichOptions &options);

/// Moves rows so that row i begins on the same line in both views for every recorded row
/// (nothing with the unchanged line layout or when a view is missing). The lower row is pulled up
/// by removing blank lines above it where they are all blank; otherwise the higher one is pushed
/// down. Leaves the caret of each view on its last region line.
void RealignRows(const PerSide<IResultView *> &views, const PerSide<RowStarts> &rowStarts,
                 const RichOptions &options);

} // namespace kivo

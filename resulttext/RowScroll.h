#pragma once

#include <optional>

namespace kivo {

class RichEditCtrl;

/// Where a window stands among the rows of a result: the row at its top, and how many pixels
/// of that row lie above the window (negative while the window shows text above the first row).
struct RowPosition {
    int row = 0;
    int offset = 0;
    friend bool operator==(const RowPosition &, const RowPosition &) = default;
};

/// The row at the top of the window and the offset into it; nullopt when the text has no rows.
std::optional<RowPosition> TopRow(const RichEditCtrl &edit);

/// The scroll position at which the window shows the row at its top with the same offset into
/// it; nullopt when the text has no rows. The offset is kept within the row here, so that a row
/// that is shorter here than in the other window still stands at the top. A row this text lacks
/// (its first line was deleted) stands where it would begin. nearY, the other window's top of
/// the row, is where the search starts: rows that are level are found at once.
std::optional<int> ScrollPosOfRow(const RichEditCtrl &edit, RowPosition position, int nearY);

} // namespace kivo

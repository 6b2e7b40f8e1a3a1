#pragma once

#include <cstdint>

namespace kivo {

/// What a document's update of its views says has changed.
enum class UpdateHint : long {
    Refresh = 0,       ///< background colour, default format, redraw
    ColorsChanged = 1, ///< re-format all text in the display format
    NoteTopLine = 2,   ///< note the first visible line as the synchronised-scrolling reference
    ScrollBy = 3,      ///< with kScrollObjectHint: the sender scrolled by the number, in pixels
    FontChanged = 4,   ///< re-format face, size and character set, keeping colours and effects
};

/// Object hint of a synchronised scroll; the update's number is then the sender's movement in
/// pixels, and the sender the view to follow.
inline constexpr std::intptr_t kScrollObjectHint = 3;

} // namespace kivo

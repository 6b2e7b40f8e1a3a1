#pragma once

#include <cstdint>

namespace kivo {

/// What a document's update of its views says has changed: the hint numbers of the
/// document/view protocol, shared by the views, the main frame and the settings dialogs.
enum class UpdateHint : long {
    Refresh = 0,       ///< background colour, default format, redraw
    ColorsChanged = 1, ///< re-format all text in the display format
    NoteTopLine = 2,   ///< note the first visible line as the synchronised-scrolling reference
    ScrollBy = 3,      ///< the sender scrolled by the object hint, in pixels: follow it
    FontChanged = 4,   ///< re-format face, size and character set, keeping colours and effects
};

} // namespace kivo

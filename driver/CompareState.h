#pragma once

#include <cstdint>

namespace kivo {

/// The states of one comparison, by their numbers. The engine does 1 to 8 (its own EngineState);
/// the driver adds the preparation (0) and the display of the result (9 to 12).
enum class CompareState : std::int32_t {
    Idle = -1,
    Prepare = 0,
    SplitLeft = 1,
    SplitRight = 2,
    SetUpAnchoring = 3,
    Anchoring = 4,
    GapAlignment = 5,
    SetUpCharDiff = 6,
    CharDiff = 7,
    EngineDone = 8,
    SetUpDisplay = 9,
    Display = 10,
    ScrollBack = 11,
    Restore = 12,
};

/// What the views may read of the comparison that runs. Only the driver writes it.
struct DriverStatus {
    CompareState state = CompareState::Idle;
    /// The comparison works on the two selections instead of the whole texts.
    bool selectionMode = false;
    /// The first screen of the result has been realigned: scrolling keys work from now on.
    bool displayScrollable = false;
    /// The user scrolled during display: the views are not scrolled back at the end.
    bool userScrolled = false;
    /// The running comparison is to stop; the next step restores the views.
    bool abortRequested = false;
};

} // namespace kivo

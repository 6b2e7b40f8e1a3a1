#pragma once

#include "EngineState.h"

#include <cstdint>

namespace kivo {

/// The states of one comparison, by their numbers. The engine does 1 to 8 (its own EngineState,
/// whose numbers these are); the driver adds the preparation (0) and the display of the result
/// (9 to 12), which begins where the engine has finished.
enum class CompareState : std::int32_t {
    Idle = StateNumber(EngineState::Idle),
    Prepare = 0,
    SplitLeft = StateNumber(EngineState::SplitLeft),
    SplitRight = StateNumber(EngineState::SplitRight),
    SetUpAnchoring = StateNumber(EngineState::SetUpAnchoring),
    Anchoring = StateNumber(EngineState::Anchoring),
    GapAlignment = StateNumber(EngineState::GapAlignment),
    SetUpCharDiff = StateNumber(EngineState::SetUpCharDiff),
    CharDiff = StateNumber(EngineState::CharDiff),
    EngineDone = StateNumber(EngineState::EngineDone),
    SetUpDisplay = StateNumber(EngineState::Finished),
    Display = 10,
    ScrollBack = 11,
    Restore = 12,
};

/// The state of the comparison that runs, as the application and the tests read it. Only the
/// driver writes it.
struct DriverStatus {
    CompareState state = CompareState::Idle;
    /// The comparison works on the two selections instead of the whole texts.
    bool selectionMode = false;
    /// The first screen of the result has been realigned: scrolling keys work from now on.
    bool displayScrollable = false;
    /// A view was scrolled by the user during display (known from the scrolling back on): the
    /// views are not scrolled back at the end.
    bool userScrolled = false;
    /// The running comparison is to stop; the next step restores the views.
    bool abortRequested = false;
};

} // namespace kivo

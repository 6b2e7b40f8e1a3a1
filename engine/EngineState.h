#pragma once

#include <cstdint>

namespace kivo {

/// Where a comparison stands in the engine. The numbers are the comparison's own state numbers:
/// the driver around the engine adds its preparation (0) and the display of the result (9 to 12),
/// whose work begins when the engine is Finished.
enum class EngineState : std::int32_t {
    Idle = -1,
    SplitLeft = 1,
    SplitRight = 2,
    SetUpAnchoring = 3,
    Anchoring = 4,
    GapAlignment = 5,
    SetUpCharDiff = 6,
    CharDiff = 7,
    EngineDone = 8,
    Finished = 9,
};

/// The number of an engine state, for the callers that extend the engine's states with their own.
constexpr std::int32_t StateNumber(EngineState state)
{
    return static_cast<std::int32_t>(state);
}

} // namespace kivo

#pragma once

#include <array>
#include <cstddef>

namespace kivo {

/// The two texts of a comparison: the left window (pane 1) and the right window (pane 2).
enum class Side : std::size_t { Left = 0, Right = 1 };

/// Both sides, left first: the order in which every two-sided step runs.
inline constexpr std::array<Side, 2> kSides{Side::Left, Side::Right};

/// A pair of values indexed by Side.
template <typename T> using PerSide = std::array<T, 2>;

/// Position of a side in a PerSide.
constexpr std::size_t Index(Side side)
{
    return static_cast<std::size_t>(side);
}

constexpr Side Other(Side side)
{
    return side == Side::Left ? Side::Right : Side::Left;
}

} // namespace kivo

#pragma once

#include <cstddef>

namespace kivo::bench {

inline constexpr std::size_t kBytesPerMegabyte = 1 << 20;

/// The most memory this process has held resident so far, in megabytes.
double PeakMegabytes();

} // namespace kivo::bench

#pragma once

#include <cstdint>

namespace kivo {

/// The number of elements of a sentence, token or result list as the engine's 32-bit index
/// type: positions in the lists are int32 with -1 for none.
template <typename List> std::int32_t Size(const List &list)
{
    return static_cast<std::int32_t>(list.size());
}

} // namespace kivo

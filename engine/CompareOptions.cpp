#include "CompareOptions.h"

#include <algorithm>

namespace kivo {

bool CompareOptions::SetCurrentDelimiters(std::string_view set)
{
    if (Sptr[0] == set)
        return false;
    // Search the second to the eighth entry; the ninth falls off like a new set would.
    std::size_t k = kDelimiterSetCount - 1;
    for (std::size_t i = 1; i < kDelimiterSetCount - 1; ++i) {
        if (Sptr[i] == set) {
            k = i;
            break;
        }
    }
    std::move_backward(Sptr.begin(), Sptr.begin() + static_cast<std::ptrdiff_t>(k),
                       Sptr.begin() + static_cast<std::ptrdiff_t>(k) + 1);
    Sptr[0] = std::string(set);
    return true;
}

} // namespace kivo

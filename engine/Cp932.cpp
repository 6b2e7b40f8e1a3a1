#include "Cp932.h"

namespace kivo::cp932 {

std::size_t FindWhole(std::string_view text, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return std::string_view::npos;
    // A fast byte search proposes each match; a walk over the characters, which only ever moves
    // forward, says whether it starts on a boundary. So the search stays linear in text.
    std::size_t boundary = from;
    for (std::size_t at = text.find(needle, from); at != std::string_view::npos;
         at = text.find(needle, boundary)) {
        while (boundary < at)
            boundary = NextChar(text, boundary);
        if (boundary > at)
            continue; // starts inside a character; go on from the next boundary
        // The match must also end on a character boundary of text.
        std::size_t end = at;
        while (end < at + needle.size())
            end = NextChar(text, end);
        if (end == at + needle.size())
            return at;
        boundary = NextChar(text, at);
    }
    return std::string_view::npos;
}

} // namespace kivo::cp932

#include "Cp932.h"

namespace kivo::cp932 {

std::size_t FindWhole(std::string_view text, std::string_view needle, std::size_t from)
{
    if (needle.empty())
        return std::string_view::npos;
    for (std::size_t pos = from; pos < text.size(); pos = NextChar(text, pos)) {
        if (text.compare(pos, needle.size(), needle) == 0) {
            // The match must also end on a character boundary of text.
            std::size_t end = pos;
            while (end < pos + needle.size())
                end = NextChar(text, end);
            if (end == pos + needle.size())
                return pos;
        }
    }
    return std::string_view::npos;
}

} // namespace kivo::cp932

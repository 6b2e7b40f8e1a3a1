#include "RichOptions.h"

namespace kivo {

bool RichOptions::SetCurrentDelimiters(std::string_view set)
{
    if (!CompareOptions::SetCurrentDelimiters(set))
        return false;
    if (OnDelimitersChanged)
        OnDelimitersChanged();
    return true;
}

} // namespace kivo

#pragma once

#include "Cp932Codec.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace kivo::test {

/// Code page 932 bytes of a UTF-8 literal, so test texts stay readable in the source.
inline std::string Sjis(std::string_view utf8)
{
    auto bytes = Cp932Codec::Shared().FromUtf8(utf8);
    if (!bytes)
        throw std::invalid_argument("test text is not valid UTF-8");
    return *bytes;
}

/// UTF-8 of code page 932 bytes, for readable failure messages.
inline std::string Utf8(std::string_view cp932)
{
    auto text = Cp932Codec::Shared().ToUtf8(cp932);
    return text ? *text : std::string("<not code page 932>");
}

} // namespace kivo::test

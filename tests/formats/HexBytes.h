#pragma once

#include <string>
#include <string_view>

namespace kivo::test {

/// Bytes as upper-case hex pairs separated by blanks, for readable failures and test names.
inline std::string Hex(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!out.empty())
            out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 0xF];
    }
    return out;
}

} // namespace kivo::test

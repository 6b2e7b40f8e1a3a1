#include "MessageText.h"

namespace kivo::cli {

std::string Quoted(std::string_view text)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out = "'";
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            out += "\\x";
            out += kDigits[b >> 4];
            out += kDigits[b & 0xF];
        } else {
            out += c;
        }
    }
    return out + "'";
}

} // namespace kivo::cli

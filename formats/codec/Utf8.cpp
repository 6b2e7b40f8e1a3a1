#include "Utf8.h"

#include <cassert>

namespace kivo::utf8 {

namespace {

constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateLast = 0xDFFF;

constexpr bool IsContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

} // namespace

bool Decode(std::string_view text, std::size_t &pos, char32_t &cp)
{
    const auto b0 = static_cast<unsigned char>(text[pos]);
    if (b0 < 0x80) {
        cp = b0;
        ++pos;
        return true;
    }
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0; // the smallest value this length may encode, to reject overlong forms
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        value = b0 & 0x1F;
        minimum = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        value = b0 & 0x0F;
        minimum = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        value = b0 & 0x07;
        minimum = 0x10000;
    } else {
        return false; // continuation byte, C0/C1 (always overlong) or F5-FF
    }
    if (text.size() - pos < length)
        return false;
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(b))
            return false;
        value = (value << 6) | (b & 0x3F);
    }
    if (value < minimum || value > kMaxCodePoint ||
        (value >= kSurrogateFirst && value <= kSurrogateLast))
        return false;
    cp = value;
    pos += length;
    return true;
}

void Append(std::string &out, char32_t cp)
{
    assert(cp <= kMaxCodePoint && !(cp >= kSurrogateFirst && cp <= kSurrogateLast) &&
           "only scalar values have a UTF-8 form");
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::size_t FirstInvalid(std::string_view text)
{
    std::size_t pos = 0;
    char32_t cp = 0;
    while (pos < text.size()) {
        if (!Decode(text, pos, cp))
            return pos;
    }
    return std::string_view::npos;
}

} // namespace kivo::utf8

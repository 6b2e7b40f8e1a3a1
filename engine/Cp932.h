#pragma once

#include <cstddef>
#include <string_view>

/// Character walking over code page 932 (Shift-JIS) byte strings.
///
/// A character is one byte, or two when the first byte is a lead byte. Every scan in the engine
/// goes through these helpers, so a trail byte is never matched on its own and nothing reads past
/// the end of a string: a lead byte that is the last byte of a string counts as a one-byte
/// character.
namespace kivo::cp932 {

/// Lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

/// The windows' line break, and the line feed that counts as one wherever breaks are trimmed.
inline constexpr unsigned char kCarriageReturn = 0x0D;
inline constexpr unsigned char kLineFeed = 0x0A;

/// Whether a byte is a line break (CR or LF). Neither is ever a trail byte.
constexpr bool IsLineBreak(unsigned char b)
{
    return b == kCarriageReturn || b == kLineFeed;
}

/// Whether a whole character is a line break.
constexpr bool IsLineBreak(std::string_view character)
{
    return character.size() == 1 && IsLineBreak(static_cast<unsigned char>(character[0]));
}

/// Length in bytes (1 or 2) of the character that starts at pos. pos must be < text.size().
/// A lead byte without a following byte is a one-byte character.
constexpr std::size_t CharLength(std::string_view text, std::size_t pos)
{
    return (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) ? 2 : 1;
}

/// Offset just after the character at pos; text.size() when pos is at or past the end.
constexpr std::size_t NextChar(std::string_view text, std::size_t pos)
{
    return pos >= text.size() ? text.size() : pos + CharLength(text, pos);
}

/// Byte offset of the first occurrence of the whole character sequence needle in text at or
/// after from, starting on a character boundary of text; npos when there is none or needle is
/// empty. from must be a character boundary.
std::size_t FindWhole(std::string_view text, std::string_view needle, std::size_t from = 0);

/// Calls fn(std::string_view character) for each character of text, in order.
template <typename Fn> void ForEachChar(std::string_view text, Fn &&fn)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = CharLength(text, pos);
        fn(text.substr(pos, len));
        pos += len;
    }
}

} // namespace kivo::cp932

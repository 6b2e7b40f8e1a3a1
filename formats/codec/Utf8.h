#pragma once

#include <cstddef>
#include <string>
#include <string_view>

/// Strict UTF-8 reading and writing, shared by the code page 932 conversion and the tools.
namespace kivo::utf8 {

/// The byte-order mark EF BB BF.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

/// Reads the code point that starts at pos into cp and moves pos past it. Strict: no overlong
/// forms, no surrogates, nothing above U+10FFFF, no truncated sequences. Returns false (pos and
/// cp unchanged) when the bytes at pos are not a well-formed character. pos must be < size.
bool Decode(std::string_view text, std::size_t &pos, char32_t &cp);

/// Appends the UTF-8 form of cp, which must be a scalar value (not a surrogate, <= U+10FFFF).
void Append(std::string &out, char32_t cp);

/// Offset of the first byte that does not start a well-formed character; npos when the whole
/// text is well formed.
std::size_t FirstInvalid(std::string_view text);

} // namespace kivo::utf8

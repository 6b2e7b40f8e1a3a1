#pragma once

#include <string_view>

/// The conversion tables of the width and case rules (code page 932 strings).
namespace kivo::tables {

extern const std::string_view kFullWidthA;        ///< 95 two-byte characters
extern const std::string_view kHalfWidthA;        ///< their 95 one-byte forms
extern const std::string_view kFullWidthB;        ///< 26 voiced katakana
extern const std::string_view kHalfWidthB;        ///< 26 pairs of base kana + voicing mark
extern const std::string_view kFullWidthC;        ///< 63 katakana and punctuation, to 0xA1 + i
extern const std::string_view kFullWidthCapitals; ///< Ａ-Ｚ
extern const std::string_view kFullWidthSmall;    ///< ａ-ｚ

/// First byte of the half-width forms of table C.
inline constexpr unsigned char kHalfWidthCBase = 0xA1;

} // namespace kivo::tables

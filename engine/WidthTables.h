#pragma once

#include <string_view>

/// The conversion tables of the width, case, kana and punctuation rules (code page 932 strings).
namespace kivo::tables {

extern const std::string_view kFullWidthA;        ///< 95 two-byte characters
extern const std::string_view kHalfWidthA;        ///< their 95 one-byte forms
extern const std::string_view kFullWidthB;        ///< 26 voiced katakana
extern const std::string_view kHalfWidthB;        ///< 26 pairs of base kana + voicing mark
extern const std::string_view kFullWidthC;        ///< 63 katakana and punctuation, to 0xA1 + i
extern const std::string_view kFullWidthCapitals; ///< Ａ-Ｚ
extern const std::string_view kFullWidthSmall;    ///< ａ-ｚ
extern const std::string_view kKatakana;          ///< ァ-ン, ヽ, ヾ (85 two-byte characters)
extern const std::string_view kHiragana;          ///< ぁ-ん, ゝ, ゞ: the same sounds in order
extern const std::string_view kCommaVariants;     ///< 、，､ (the first is what they fold to)
extern const std::string_view kFullStopVariants;  ///< 。．｡ (the first is what they fold to)

/// First byte of the half-width forms of table C.
inline constexpr unsigned char kHalfWidthCBase = 0xA1;
/// Half-width katakana letters ｦ-ﾝ (ｰ included), which the kana rule widens through table C.
inline constexpr unsigned char kHalfWidthKanaFirst = 0xA6;
inline constexpr unsigned char kHalfWidthKanaLast = 0xDD;

} // namespace kivo::tables

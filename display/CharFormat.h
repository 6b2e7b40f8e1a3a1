#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kivo {

/// A colour as 0x00BBGGRR.
using ColorRef = std::uint32_t;

/// Character effect of one status, as stored and as listed in the colour dialog.
enum class EffectCode : std::int32_t {
    None = 0,
    Bold = 1,
    Italic = 2,
    Underline = 3,
    StrikeOut = 4
};

inline constexpr int kEffectCodeCount = 5;

/// Rich-edit effect bits.
inline constexpr std::uint32_t CFE_BOLD = 0x1;
inline constexpr std::uint32_t CFE_ITALIC = 0x2;
inline constexpr std::uint32_t CFE_UNDERLINE = 0x4;
inline constexpr std::uint32_t CFE_STRIKEOUT = 0x8;

/// Rich-edit mask bits: which fields of a CharFormat are valid.
inline constexpr std::uint32_t CFM_BOLD = 0x1;
inline constexpr std::uint32_t CFM_ITALIC = 0x2;
inline constexpr std::uint32_t CFM_UNDERLINE = 0x4;
inline constexpr std::uint32_t CFM_STRIKEOUT = 0x8;
inline constexpr std::uint32_t CFM_OFFSET = 0x10000000;
inline constexpr std::uint32_t CFM_CHARSET = 0x08000000;
inline constexpr std::uint32_t CFM_FACE = 0x20000000;
inline constexpr std::uint32_t CFM_COLOR = 0x40000000;
inline constexpr std::uint32_t CFM_SIZE = 0x80000000;

/// The mask of the display format: size, colour, face, character set and the four effects.
inline constexpr std::uint32_t kDisplayFormatMask = CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET |
                                                    CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE |
                                                    CFM_STRIKEOUT;
static_assert(kDisplayFormatMask == 0xE800000F);

/// Effect flag that rendering applies for an effect code; codes outside 0-4 get no effect.
constexpr std::uint32_t EffectFlag(std::int32_t code)
{
    constexpr std::array<std::uint32_t, kEffectCodeCount> kFlags{0, CFE_BOLD, CFE_ITALIC,
                                                                 CFE_UNDERLINE, CFE_STRIKEOUT};
    return (code >= 0 && code < kEffectCodeCount) ? kFlags[static_cast<std::size_t>(code)] : 0;
}

/// The rich-edit character format record in its single-byte form: 84 bytes, little-endian, laid
/// out exactly as it is stored in the settings. The members are in storage order and every byte
/// is a member (the padding too), so copying the record keeps all 84 bytes.
struct CharFormat {
    std::uint32_t cbSize = 0;
    std::uint32_t dwMask = 0;
    std::uint32_t dwEffects = 0;
    std::int32_t yHeight = 0; // twips
    std::int32_t yOffset = 0;
    ColorRef crTextColor = 0;
    std::uint8_t bCharSet = 0;
    std::uint8_t bPitchAndFamily = 0;
    std::array<char, 32> szFaceName{}; // code page 932, NUL-terminated
    std::uint16_t wWeight = 0;
    std::int16_t sSpacing = 0;
    std::uint16_t padding = 0;
    ColorRef crBackColor = 0;
    std::uint32_t lcid = 0;
    std::uint32_t dwReserved = 0;
    std::int16_t sStyle = 0;
    std::uint16_t wKerning = 0;
    std::uint8_t bUnderlineType = 0;
    std::uint8_t bAnimation = 0;
    std::uint8_t bRevAuthor = 0;
    std::uint8_t bReserved1 = 0;

    static constexpr std::size_t kSize = 84;

    /// The face name as a code page 932 string (up to its NUL).
    std::string FaceName() const;
    /// Sets the face name, truncated to 31 bytes on a character boundary; the rest is zeroed.
    void SetFaceName(std::string_view cp932Name);

    /// The 84 stored bytes.
    std::array<std::uint8_t, kSize> ToBytes() const;
    /// The record from exactly 84 stored bytes.
    static CharFormat FromBytes(const std::array<std::uint8_t, kSize> &bytes);

    friend bool operator==(const CharFormat &, const CharFormat &) = default;
};

static_assert(std::endian::native == std::endian::little,
              "CharFormat is stored as its in-memory bytes, which are little-endian");
static_assert(sizeof(CharFormat) == CharFormat::kSize);
static_assert(offsetof(CharFormat, crTextColor) == 20);
static_assert(offsetof(CharFormat, bCharSet) == 24);
static_assert(offsetof(CharFormat, szFaceName) == 26);
static_assert(offsetof(CharFormat, wWeight) == 58);
static_assert(offsetof(CharFormat, crBackColor) == 64);
static_assert(offsetof(CharFormat, sStyle) == 76);
static_assert(offsetof(CharFormat, bReserved1) == 83);

/// Default display face "ＭＳ ゴシック" in code page 932.
inline constexpr std::string_view kDefaultFaceName =
    "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";
inline constexpr std::int32_t kDefaultFontHeight = 220; // twips: 11 points
inline constexpr std::uint8_t kDefaultCharSet = 1;      // DEFAULT_CHARSET

/// The default display format, drawn in the given text colour (the Original colour).
CharFormat DefaultCharFormat(ColorRef textColor);

} // namespace kivo

#pragma once

#include <array>
#include <bit>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kivo {

/// A colour as 0x00BBGGRR.
using ColorRef = std::uint32_t;

/// Status of a run of compared text; text of status s is drawn with colour slot s + 1 and
/// effect slot s.
enum class TextStatus : std::int32_t {
    Original = 0,
    Same = 1,
    Changed = 2,
    Added = 3,
    Deleted = 4
};

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

/// The display name of an effect code, UTF-8 (for the colour dialog's lists).
std::string_view EffectName(EffectCode code);

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

/// The default delimiter set: the full-width ideographic full stop, then the half-width one.
inline constexpr std::string_view DefaultDelimiters = "\x81\x42\xA1";

/// Colour slots.
enum ColorSlot : std::size_t {
    Background = 0,
    ColorOriginal,
    ColorSame,
    ColorChanged,
    ColorAdded,
    ColorDeleted,
    ColorMoved ///< a deleted or added sentence that moved; not a status of its own
};
inline constexpr std::size_t kColorCount = 7;
inline constexpr std::size_t kEffectCount = 6;
/// The effect slot of moved sentences, after the five status slots.
inline constexpr std::size_t kMovedEffectSlot = 5;
inline constexpr std::size_t kDelimiterSetCount = 9;

/// Colour slot of a status, and effect slot of a status.
constexpr std::size_t ColorSlotOf(TextStatus s)
{
    return static_cast<std::size_t>(s) + 1;
}
constexpr std::size_t EffectSlotOf(TextStatus s)
{
    return static_cast<std::size_t>(s);
}

/// The values a stored integer setting may hold, both ends included. The settings store replaces
/// a stored value outside by the field's default when it loads the settings.
struct OptionRange {
    std::int64_t least;
    std::int64_t most;
    constexpr bool Contains(std::int64_t value) const { return value >= least && value <= most; }
};

/// Every setting of the system. One instance lives in the application object; everything reads
/// its fields directly.
struct RichOptions {
    /// Sptr[0] is the current delimiter set (Sptr1), Sptr[1..8] the ones used before, most recent
    /// first. Code page 932; backslash-n stands for a line break.
    std::array<std::string, kDelimiterSetCount> Sptr{std::string(DefaultDelimiters)};

    /// The range of the flags (the comparison rules, ViewLine, ViewBar): any value but 0 is
    /// set. Colours, too, keep any value: only their low three bytes are drawn.
    static constexpr OptionRange kFlagRange{INT32_MIN, INT32_MAX};

    std::int32_t CmpChar = 0;
    std::int32_t CmpCase = 0;
    std::int32_t CmpZen = 0;
    std::int32_t CmpZenSp = 0;
    /// Japanese rules: katakana and hiragana count as equal; comma and full-stop variants count
    /// as equal; a delimiter inside brackets does not end a sentence.
    std::int32_t CmpKana = 0;
    std::int32_t CmpPunct = 0;
    std::int32_t KeepQuotes = 0;

    std::int32_t ViewFormat = 0; // 0: one sentence per row, aligned; 1: line layout unchanged
    static constexpr OptionRange kViewFormatRange{0, 1};
    std::int32_t ViewLine = 1;
    std::int32_t ViewBar = 0;
    /// 1: a deleted sentence whose key equals that of an added one is shown as moved.
    std::int32_t ViewMove = 0;

    /// Moved sentences are purple and italic: a colour and an effect no status uses by default.
    std::array<ColorRef, kColorCount> Color{0xFFFFFF, 0x000000, 0xC0C0C0, 0x0000FF,
                                            0xFF0000, 0x008000, 0x800080};
    std::array<std::int32_t, kEffectCount> Effect{0, 0, 1, 3, 4, 2};
    static constexpr OptionRange kEffectRange{0, kEffectCodeCount - 1};

    ::kivo::CharFormat CharFormat = DefaultCharFormat(0x000000);

    std::int32_t ShowMaximized = 1;

    /// Run-time only: 1 while the two text windows scroll together.
    std::int32_t SyncScroll = 0;

    /// Called after SetCurrentDelimiters changed the list, so that the delimiter box can be
    /// refilled. Empty until a main frame exists.
    std::function<void()> OnDelimitersChanged;

    /// Makes the given set current with a move-to-front over the nine sets. Returns whether the
    /// list changed (false when the set already was current).
    bool SetCurrentDelimiters(std::string_view set);
};

} // namespace kivo

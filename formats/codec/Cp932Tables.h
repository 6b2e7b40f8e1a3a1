#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

/// The code page 932 mapping tables of the converter, built once from the C library's CP932
/// converter. Internal to the codec library.
namespace kivo::cp932tables {

/// A code is the byte value of a one-byte character, or lead * 256 + trail of a two-byte one.
using Code = std::uint16_t;

/// Number of codes and of code points in the Basic Multilingual Plane.
inline constexpr std::size_t kTableSize = 0x10000;

/// The user-defined area F040-F9FC: ten lead bytes with 188 trail bytes each (40-7E, 80-FC).
inline constexpr unsigned char kPrivateLeadFirst = 0xF0;
inline constexpr unsigned char kPrivateLeadLast = 0xF9;
inline constexpr std::size_t kTrailsPerLead = 188;
inline constexpr std::size_t kPrivateCodeCount =
    (kPrivateLeadLast - kPrivateLeadFirst + 1) * kTrailsPerLead;
/// The code page's standard mapping of that area: F040 is U+E000, and so on in code order.
inline constexpr char32_t kPrivateUseFirst = 0xE000;
inline constexpr char32_t kPrivateUseLast = kPrivateUseFirst + kPrivateCodeCount - 1;
static_assert(kPrivateCodeCount == 1880 && kPrivateUseLast == 0xE757);

/// Whether b can be the second byte of a two-byte character.
constexpr bool IsTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

/// Position 0-187 of a trail byte among the trail bytes.
constexpr std::size_t TrailIndex(unsigned char trail)
{
    return trail < 0x80 ? trail - 0x40u : trail - 0x41u;
}

/// Index 0-1879 of a code in the user-defined area; the lead must be F0-F9.
constexpr std::size_t PrivateIndex(unsigned char lead, unsigned char trail)
{
    return (lead - kPrivateLeadFirst) * kTrailsPerLead + TrailIndex(trail);
}

/// The code of index 0-1879 in the user-defined area.
constexpr Code PrivateCode(std::size_t index)
{
    const std::size_t t = index % kTrailsPerLead;
    const std::size_t trail = t < 0x3F ? 0x40 + t : 0x41 + t;
    return static_cast<Code>((kPrivateLeadFirst + index / kTrailsPerLead) << 8 | trail);
}
static_assert(PrivateCode(0) == 0xF040 && PrivateCode(62) == 0xF07E && PrivateCode(63) == 0xF080);
static_assert(PrivateCode(kPrivateCodeCount - 1) == 0xF9FC);
static_assert(PrivateIndex(0xF9, 0xFC) == kPrivateCodeCount - 1);

struct Tables {
    /// False when the C library has no CP932 converter; then both tables are empty.
    bool available = false;
    /// Code point (BMP) to the code that holds it exactly; 0 when the code page cannot hold it.
    std::array<Code, kTableSize> encode{};
    /// Code to its code point; 0 when the code is not a character of the code page. The
    /// user-defined area decodes to U+E000-U+E757.
    std::array<char16_t, kTableSize> decode{};
};

/// The tables, built on first use (about 75,000 conversions, a few milliseconds) and shared by
/// every codec.
const Tables &Get();

} // namespace kivo::cp932tables

#pragma once

#include "CharFormat.h"
#include "CompareOptions.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace kivo {

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

/// Colour slot of a status, and effect slot of a status.
constexpr std::size_t ColorSlotOf(TextStatus s)
{
    return static_cast<std::size_t>(s) + 1;
}
constexpr std::size_t EffectSlotOf(TextStatus s)
{
    return static_cast<std::size_t>(s);
}

/// Every setting of the system: the comparison's options and the display's. One instance lives in
/// the application object.
struct RichOptions : CompareOptions {
    std::int32_t ViewLine = 1;
    std::int32_t ViewBar = 0;

    /// Moved sentences are purple and italic: a colour and an effect no status uses by default.
    std::array<ColorRef, kColorCount> Color{0xFFFFFF, 0x000000, 0xC0C0C0, 0x0000FF,
                                            0xFF0000, 0x008000, 0x800080};
    std::array<std::int32_t, kEffectCount> Effect{0, 0, 1, 3, 4, 2};
    static constexpr OptionRange kEffectRange{0, kEffectCodeCount - 1};

    ::kivo::CharFormat CharFormat = DefaultCharFormat(0x000000);

    std::int32_t ShowMaximized = 1;

    /// 1: a PDF's running heads, footers and page numbers are read with its text.
    std::int32_t PdfHeads = 0;

    /// 1: both windows' contents are kept between runs and brought back at the next start.
    std::int32_t RestoreSession = 1;

    /// Run-time only: 1 while the two text windows scroll together; switched by ScrollSync alone.
    std::int32_t SyncScroll = 0;
};

} // namespace kivo

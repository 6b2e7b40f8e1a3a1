#pragma once

#include <array>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kivo {

/// Status of a run of compared text; text of status s is drawn with colour slot s + 1 and
/// effect slot s.
enum class TextStatus : std::int32_t {
    Original = 0,
    Same = 1,
    Changed = 2,
    Added = 3,
    Deleted = 4
};

/// How the sentences are laid out in the windows. Stored as the integer setting ViewFormat,
/// with these numbers.
enum class SentenceLayout : std::int32_t {
    Aligned = 0,  ///< one sentence per row, the rows of the two windows aligned
    Unchanged = 1 ///< each text keeps its own line layout
};

/// The default delimiter set: the full-width ideographic full stop, then the half-width one.
inline constexpr std::string_view DefaultDelimiters = "\x81\x42\xA1";

inline constexpr std::size_t kDelimiterSetCount = 9;

/// The values a stored integer setting may hold, both ends included. The settings store replaces
/// a stored value outside by the field's default when it loads the settings.
struct OptionRange {
    std::int64_t least;
    std::int64_t most;
    constexpr bool Contains(std::int64_t value) const { return value >= least && value <= most; }
};

/// The options a comparison depends on: the delimiter sets, the comparison rules, the layout of
/// the sentences and whether moves are looked for. The application's settings record extends it
/// with the display options; the engine sees only this part.
struct CompareOptions {
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

    SentenceLayout ViewFormat = SentenceLayout::Aligned;
    static constexpr OptionRange kViewFormatRange{0, 1};
    /// 1: a deleted sentence whose key equals that of an added one is shown as moved.
    std::int32_t ViewMove = 0;

    /// Makes the given set current with a move-to-front over the nine sets. Returns whether the
    /// list changed (false when the set already was current).
    bool SetCurrentDelimiters(std::string_view set);
};

} // namespace kivo

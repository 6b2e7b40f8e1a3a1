#pragma once

#include "RichOptions.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Formatted text as the RTF reader gives it and the RTF writer takes it, free of any window
/// code, so that both can be tested and fuzzed on their own.
namespace kivo::rtf {

/// The character formatting that RTF carries between the program and other programs.
struct Format {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::optional<ColorRef> color; ///< 0x00BBGGRR; nullopt is the automatic text colour
    int halfPoints = 0;            ///< font size in half points; 0 when not given
    std::string face;              ///< UTF-8; empty when not given
    friend bool operator==(const Format &, const Format &) = default;
};

/// A stretch of text in one format. The text is UTF-8; '\n' ends a paragraph, U+2028 is a line
/// break within one, '\t' a tab.
struct TextRun {
    std::string text;
    Format format;
    friend bool operator==(const TextRun &, const TextRun &) = default;
};

using Runs = std::vector<TextRun>;

inline constexpr char kParagraphBreak = '\n';
inline constexpr char32_t kLineBreak = 0x2028;

/// Appends text in format to runs, extending the last run when it has the same format.
void Append(Runs &runs, std::string_view utf8, const Format &format);

/// The runs' text, joined.
std::string PlainText(const Runs &runs);

} // namespace kivo::rtf

#pragma once

#include "RtfText.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace kivo::wordfile {

/// Six hexadecimal digits RRGGBB as a colour 0x00BBGGRR; nothing for anything else.
std::optional<ColorRef> ColorOfHex(std::string_view digits);

/// Gathers the text of a word-processor document as formatted runs, the form in which the RTF
/// reader hands over its text: '\n' ends a paragraph, U+2028 breaks a line, '\t' is a tab.
///
/// It holds at most a given number of bytes of text and formatting (MostProducedBytes of the
/// file): what comes beyond is dropped and Overflowed() tells, so that a small document whose
/// elements stand for long runs of text never fills the memory.
class RunBuilder {
public:
    explicit RunBuilder(std::uintmax_t most) : m_most(most) {}

    /// Appends text (UTF-8, as the XML reader gives it) in format.
    void Text(std::string_view utf8, const rtf::Format &format);
    void Tab();
    void LineBreak();
    void EndParagraph();
    /// Ends a table cell: a cell ends in a line break of its own unless its last paragraph has
    /// just ended one.
    void EndCell();
    /// Appends other's runs, as the notes are appended after the body.
    void Append(const RunBuilder &other);
    bool Empty() const { return m_runs.empty(); }
    /// Whether more was given than it may hold.
    bool Overflowed() const { return m_overflowed; }
    /// The most it may hold, for a builder whose runs are appended to this one.
    std::uintmax_t Most() const { return m_most; }

    /// The runs, the break of the last paragraph left out (it would give an empty paragraph).
    rtf::Runs Take();

private:
    /// Breaks and tabs take the format of the text before them, so they never split a run.
    void Mark(std::string_view utf8);
    /// Appends utf8 in format when it fits in what is left; counts a new run at its size.
    void Add(std::string_view utf8, const rtf::Format &format);

    rtf::Runs m_runs;
    std::uintmax_t m_most;
    std::uintmax_t m_held = 0; // bytes of text and runs held
    bool m_overflowed = false;
};

} // namespace kivo::wordfile

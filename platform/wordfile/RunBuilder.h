#pragma once

#include "RtfText.h"

#include <QStringView>

#include <optional>

namespace kivo::wordfile {

/// Six hexadecimal digits RRGGBB as a colour 0x00BBGGRR; nothing for anything else.
std::optional<ColorRef> ColorOfHex(QStringView digits);

/// Gathers the text of a word-processor document as formatted runs, the form in which the RTF
/// reader hands over its text: '\n' ends a paragraph, U+2028 breaks a line, '\t' is a tab.
class RunBuilder {
public:
    /// Appends text (UTF-16, as the XML reader gives it) in format.
    void Text(QStringView text, const rtf::Format &format);
    void Tab();
    void LineBreak();
    void EndParagraph();
    /// Ends a table cell: a cell ends in a line break of its own unless its last paragraph has
    /// just ended one.
    void EndCell();
    /// Appends other's runs, as the notes are appended after the body.
    void Append(const RunBuilder &other);
    bool Empty() const { return m_runs.empty(); }

    /// The runs, the break of the last paragraph left out (it would give an empty paragraph).
    rtf::Runs Take();

private:
    /// Breaks and tabs take the format of the text before them, so they never split a run.
    void Mark(std::string_view utf8);

    rtf::Runs m_runs;
};

} // namespace kivo::wordfile

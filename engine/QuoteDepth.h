#pragma once

#include <cstdint>
#include <string_view>

namespace kivo {

/// Keeps quotations whole while a text is split into sentences: counts how deeply the reading
/// position stands inside brackets, so that a delimiter inside 「…」 does not end the sentence.
///
/// Each of 「 『 （ ( 【 “ opens a level; each of 」 』 ） ) 】 ” closes one while the depth is
/// above zero; a line break (CR or LF) sets the depth to zero, so a stray opening bracket holds
/// sentences together only up to the end of its line. A closing bracket that brings the depth to
/// zero right after a delimiter (only closing brackets between them) ends the sentence after
/// itself when the next character is a line break, an opening bracket or the end of the text.
class QuoteDepth {
public:
    /// Decides for one character read by the splitter whether it ends the sentence. character is
    /// one whole character (one or two bytes), isDelimiter whether it belongs to the delimiter
    /// set, next the character after it (empty at the end of the text). A line break is taken
    /// first, so a line break that is a delimiter always ends its sentence.
    bool EndsSentence(std::string_view character, bool isDelimiter, std::string_view next);

    /// Back to the start of a text.
    void Reset() { *this = QuoteDepth(); }

    std::int32_t Depth() const { return m_depth; }

private:
    std::int32_t m_depth = 0;
    /// A delimiter was read inside brackets and only closing brackets have followed it.
    bool m_afterDelimiter = false;
};

/// Whether character opens, or closes, a bracket level for QuoteDepth.
bool IsOpeningBracket(std::string_view character);
bool IsClosingBracket(std::string_view character);

} // namespace kivo

#include "QuoteDepth.h"

#include "Cp932.h"

#include <limits>

namespace kivo {

namespace {

using cp932::IsLineBreak;

// The brackets of quotations and asides, code page 932 strings of whole characters; entry i of
// one list pairs with entry i of the other only for readability: any closer closes any opener.
constexpr std::string_view kOpeningBrackets =
    "\x81\x75\x81\x77\x81\x69(\x81\x79\x81\x67"; // 「『（(【“
constexpr std::string_view kClosingBrackets =
    "\x81\x76\x81\x78\x81\x6A)\x81\x7A\x81\x68"; // 」』）)】”

// Deeper nesting is counted as this deep, so that no text can overflow the counter.
constexpr std::int32_t kMaxDepth = std::numeric_limits<std::int32_t>::max();

} // namespace

bool IsOpeningBracket(std::string_view character)
{
    return cp932::FindWhole(kOpeningBrackets, character) != std::string_view::npos;
}

bool IsClosingBracket(std::string_view character)
{
    return cp932::FindWhole(kClosingBrackets, character) != std::string_view::npos;
}

bool QuoteDepth::EndsSentence(std::string_view character, bool isDelimiter, std::string_view next)
{
    if (IsLineBreak(character)) {
        m_depth = 0;
        m_afterDelimiter = false;
        return isDelimiter;
    }
    if (isDelimiter) {
        // A delimiter read inside brackets waits for the brackets to close.
        m_afterDelimiter = m_depth > 0;
        return m_depth == 0;
    }
    if (IsClosingBracket(character)) {
        if (m_depth == 0)
            return false;
        --m_depth;
        if (m_depth > 0 || !m_afterDelimiter)
            return false;
        m_afterDelimiter = false;
        return next.empty() || IsLineBreak(next) || IsOpeningBracket(next);
    }
    m_afterDelimiter = false;
    if (IsOpeningBracket(character) && m_depth < kMaxDepth)
        ++m_depth;
    return false;
}

} // namespace kivo

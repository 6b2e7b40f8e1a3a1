#include "Token.h"

#include "Cp932.h"
#include "Normalize.h"

namespace kivo {

namespace {

using cp932::IsLineBreak;

// Half-width kana that take a voicing mark: ｦ-ｯ and ｱ-ﾝ. The punctuation ｡-･, the long-vowel
// mark ｰ and the marks themselves never pair with a following mark.
constexpr unsigned char kVoiceableFirst = 0xA6;
constexpr unsigned char kVoiceableSmallLast = 0xAF;
constexpr unsigned char kVoiceableFirstFull = 0xB1;
constexpr unsigned char kVoiceableLast = 0xDD;
constexpr unsigned char kVoicingMark = 0xDE;
constexpr unsigned char kSemiVoicingMark = 0xDF;

unsigned char ByteAt(std::string_view text, std::size_t pos)
{
    return static_cast<unsigned char>(text[pos]);
}

bool IsVoiceableKana(unsigned char b)
{
    return (b >= kVoiceableFirst && b <= kVoiceableSmallLast) ||
           (b >= kVoiceableFirstFull && b <= kVoiceableLast);
}

bool IsVoicingMark(unsigned char b)
{
    return b == kVoicingMark || b == kSemiVoicingMark;
}

/// Length of the character at pos (pos < text.size()), a voiced half-width kana counting as one.
std::size_t UnitCharLength(std::string_view text, std::size_t pos)
{
    if (IsVoiceableKana(ByteAt(text, pos)) && pos + 1 < text.size() &&
        IsVoicingMark(ByteAt(text, pos + 1)))
        return 2;
    return cp932::CharLength(text, pos);
}

/// Appends the line breaks at pos to out and returns the offset after them.
std::size_t TakeLineBreaks(std::string_view text, std::size_t pos, std::string &out)
{
    while (pos < text.size() && IsLineBreak(ByteAt(text, pos)))
        out += text[pos++];
    return pos;
}

/// Whether a unit key starts a run of letters and digits.
bool StartsWithAlphanumeric(std::string_view key)
{
    if (key.empty())
        return false;
    const unsigned char b = static_cast<unsigned char>(key.front());
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

} // namespace

std::optional<std::size_t> NextCharUnit(CharUnit &unit, std::string_view text, std::size_t pos,
                                        const CompareOptions &options)
{
    if (pos >= text.size())
        return std::nullopt;
    unit.text.clear();
    pos = TakeLineBreaks(text, pos, unit.text);
    std::string_view character;
    if (pos < text.size()) {
        character = text.substr(pos, UnitCharLength(text, pos));
        pos += character.size();
    }
    unit.text += character;
    unit.key = NormalizeText(character, options);
    return TakeLineBreaks(text, pos, unit.text);
}

void AddToken(TokenList &list, std::string text, std::string key, std::int32_t &count)
{
    if (text.empty())
        return;
    Token token;
    token.text = std::move(text);
    token.key = std::move(key);
    list.push_back(std::move(token));
    ++count;
}

std::int32_t CutTokens(TokenList &list, std::string_view text, const CompareOptions &options)
{
    std::int32_t count = 0;
    WorkBudget unlimited = WorkBudget::Unlimited();
    TokenCutter(text, options).Cut(list, count, unlimited);
    return count;
}

bool TokenCutter::Cut(TokenList &list, std::int32_t &count, WorkBudget &budget)
{
    // A token is a run of units whose keys start with a letter or digit (with CmpChar off), or
    // one other unit.
    while (!budget.Exhausted()) {
        const std::optional<std::size_t> next = NextCharUnit(m_unit, m_text, m_pos, m_options);
        if (!next) {
            if (m_gathering)
                AddToken(list, std::move(m_tokenText), std::move(m_key), count);
            m_gathering = false;
            return true;
        }
        m_pos = *next;
        budget.Spend(1);
        const bool alphanumeric = !m_options.CmpChar && StartsWithAlphanumeric(m_unit.key);
        if (alphanumeric && m_gathering) {
            m_tokenText += m_unit.text;
            m_key += m_unit.key;
            continue;
        }
        if (m_gathering)
            AddToken(list, std::move(m_tokenText), std::move(m_key), count);
        m_gathering = alphanumeric;
        if (alphanumeric) {
            m_tokenText = m_unit.text;
            m_key = m_unit.key;
        } else {
            AddToken(list, m_unit.text, m_unit.key, count);
        }
    }
    return false;
}

} // namespace kivo

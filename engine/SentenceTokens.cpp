#include "SentenceTokens.h"

#include "Cp932.h"
#include "Normalize.h"

#include <algorithm>

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

// Character codes: 0 for no character, 1 + the byte for one byte, 257 + both bytes for two.
constexpr std::uint32_t kCharCodes = 1 + 256 + 65536;
// Look-ups after which a pair's characters go into a flat table instead of a map.
constexpr std::int64_t kLookupsBeforeTable = 4096;

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

std::size_t SkipLineBreaks(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && IsLineBreak(ByteAt(text, pos)))
        ++pos;
    return pos;
}

std::uint32_t CharCode(std::string_view character)
{
    if (character.empty())
        return 0;
    if (character.size() == 1)
        return 1 + static_cast<unsigned char>(character[0]);
    return 257 + (static_cast<std::uint32_t>(static_cast<unsigned char>(character[0])) << 8) +
           static_cast<unsigned char>(character[1]);
}

bool StartsWithAlphanumeric(std::string_view key)
{
    if (key.empty())
        return false;
    const unsigned char b = static_cast<unsigned char>(key.front());
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

} // namespace

std::int32_t KeyTable::Number(std::string_view key)
{
    if (const auto found = m_numbers.find(key); found != m_numbers.end())
        return found->second;
    const auto number = static_cast<std::int32_t>(m_numbers.size());
    m_numbers.emplace(std::string(key), number);
    return number;
}

void KeyTable::Clear()
{
    decltype(m_numbers)().swap(m_numbers);
    std::vector<CharKey>().swap(m_chars);
    decltype(m_charMap)().swap(m_charMap);
    m_charTable.reset();
    m_lookups = 0;
}

std::int32_t KeyTable::CharIndex(std::string_view character)
{
    const std::uint32_t code = CharCode(character);
    if (m_charTable && m_charTable[code] >= 0)
        return m_charTable[code];
    if (!m_charTable) {
        if (const auto found = m_charMap.find(code); found != m_charMap.end()) {
            const std::int32_t index = found->second;
            if (++m_lookups == kLookupsBeforeTable) {
                // A long pair: from now on a look-up is one read.
                m_charTable = std::make_unique<std::int32_t[]>(kCharCodes);
                std::fill_n(m_charTable.get(), kCharCodes, -1);
                for (const auto &[c, i] : m_charMap)
                    m_charTable[c] = i;
                decltype(m_charMap)().swap(m_charMap);
            }
            return index;
        }
    }
    CharKey entry;
    entry.key = NormalizeText(character, m_options);
    entry.number = Number(entry.key);
    entry.alphanumeric = StartsWithAlphanumeric(entry.key);
    const auto index = static_cast<std::int32_t>(m_chars.size());
    m_chars.push_back(std::move(entry));
    if (m_charTable)
        m_charTable[code] = index;
    else
        m_charMap.emplace(code, index);
    return index;
}

const KeyTable::CharKey &KeyTable::Char(std::string_view character)
{
    return m_chars[static_cast<std::size_t>(CharIndex(character))];
}

void SentenceCutter::Close(SentenceTokens &tokens)
{
    if (!m_gathering)
        return;
    tokens.keys.push_back(m_runUnits == 1 ? m_runNumber : m_keys.Number(m_runKey));
    m_gathering = false;
}

bool SentenceCutter::Cut(SentenceTokens &tokens, WorkBudget &budget)
{
    if (m_pos == 0 && tokens.keys.empty()) {
        // At most one token a byte: reserved at once, so that the list never moves while it
        // grows. Pages are only used once written.
        tokens.keys.reserve(m_text.size());
    }
    // A token is a run of units whose keys start with a letter or digit (with CmpChar off), or
    // one other unit.
    while (m_pos < m_text.size()) {
        if (budget.Exhausted())
            return false;
        budget.Spend(1);
        const KeyTable::CharKey &unit = ReadUnit(m_pos);
        const bool alphanumeric = !m_cmpChar && unit.alphanumeric;
        if (alphanumeric && m_gathering) {
            ++m_runUnits;
            m_runKey += unit.key;
            continue;
        }
        Close(tokens);
        if (alphanumeric) {
            m_gathering = true;
            m_runUnits = 1;
            m_runNumber = unit.number;
            m_runKey = unit.key;
        } else {
            tokens.keys.push_back(unit.number);
        }
    }
    Close(tokens);
    return true;
}

const KeyTable::CharKey &SentenceCutter::ReadUnit(std::size_t &pos)
{
    std::size_t at = SkipLineBreaks(m_text, pos);
    std::string_view character;
    if (at < m_text.size()) {
        character = m_text.substr(at, UnitCharLength(m_text, at));
        at += character.size();
    }
    pos = SkipLineBreaks(m_text, at);
    return m_keys.Char(character);
}

std::size_t SentenceCutter::Walk(std::int32_t tokens)
{
    for (; tokens > 0 && m_pos < m_text.size(); --tokens) {
        const bool alphanumeric = ReadUnit(m_pos).alphanumeric;
        if (m_cmpChar || !alphanumeric)
            continue;
        // A run: the units after it that are letters or digits too.
        for (std::size_t next = m_pos; next < m_text.size() && ReadUnit(next).alphanumeric;)
            m_pos = next;
    }
    return m_pos;
}

} // namespace kivo

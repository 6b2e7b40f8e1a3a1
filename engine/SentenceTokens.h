#pragma once

#include "CompareOptions.h"
#include "WorkBudget.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

/// The tokens of one sentence of a changed pair, without a string per token: a token is a
/// character with its line breaks, or (unless CmpChar is on) a whole run of letters and digits.
/// Only its key is kept, as a number from the pair's KeyTable, equal exactly where the keys are
/// equal, so that matching compares numbers; where the tokens lie in the sentence is found again
/// by walking the text (SentenceCutter::Walk). A sentence of millions of tokens costs four bytes
/// a token.
struct SentenceTokens {
    /// Key number of each token. Matching marks the runs it finds here (see RunMatcher).
    std::vector<std::int32_t> keys;

    std::int32_t Size() const { return static_cast<std::int32_t>(keys.size()); }
};

/// Numbers the token keys of one changed pair, and remembers the key of each character so that a
/// long sentence normalises each distinct character once.
class KeyTable {
public:
    explicit KeyTable(const CompareOptions &options) : m_options(options) {}

    /// What one character (one or two bytes, a voiced half-width kana counting as one; or no
    /// bytes, for a unit of line breaks only) contributes to a token.
    struct CharKey {
        std::string key;           ///< NormalizeText of the character under the options
        std::int32_t number = -1;  ///< Number(key)
        bool alphanumeric = false; ///< the key starts with an ASCII letter or digit
    };

    const CharKey &Char(std::string_view character);

    /// The number of key: the numbers of two keys are equal exactly when the keys are.
    std::int32_t Number(std::string_view key);

    /// Forgets every key and character, freeing their memory.
    void Clear();

private:
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const
        {
            return std::hash<std::string_view>{}(key);
        }
    };

    std::int32_t CharIndex(std::string_view character);

    const CompareOptions &m_options;
    std::unordered_map<std::string, std::int32_t, KeyHash, std::equal_to<>> m_numbers;
    std::vector<CharKey> m_chars;
    // Characters looked up so far, by code (one byte: the byte; two: 256 + both bytes): a map
    // while a pair is short, a flat table once it has looked up many.
    std::unordered_map<std::uint32_t, std::int32_t> m_charMap;
    std::unique_ptr<std::int32_t[]> m_charTable;
    std::int64_t m_lookups = 0;
};

/// Cuts a sentence into SentenceTokens in slices, a budget's worth of character units a call, so
/// that a sentence of millions of characters is cut over several calls. A unit is the line breaks
/// at the start of the sentence, a character, and the line breaks after it; the token texts
/// joined in order give the sentence back. The text and the key table must outlive the cutter.
class SentenceCutter {
public:
    SentenceCutter(std::string_view text, KeyTable &keys, bool cmpChar)
        : m_text(text), m_keys(keys), m_cmpChar(cmpChar)
    {}

    /// Appends tokens to tokens; true once the text is used up.
    bool Cut(SentenceTokens &tokens, WorkBudget &budget);

    /// On a cutter that has not cut: moves on over the given number of tokens, which end where
    /// Cut ends them, and returns the offset reached (the text's size past the last token).
    std::size_t Walk(std::int32_t tokens);
    /// The offset reached.
    std::size_t Position() const { return m_pos; }

private:
    void Close(SentenceTokens &tokens);
    const KeyTable::CharKey &ReadUnit(std::size_t &pos);

    std::string_view m_text;
    KeyTable &m_keys;
    bool m_cmpChar;
    std::size_t m_pos = 0;
    bool m_gathering = false; // a run of letters and digits is being gathered
    std::int32_t m_runUnits = 0;
    std::int32_t m_runNumber = -1; // the key number of a run of one unit
    std::string m_runKey;          // the joined keys of a longer run
};

} // namespace kivo

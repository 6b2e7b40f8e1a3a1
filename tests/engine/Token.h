#pragma once

#include "CompareOptions.h"
#include "WorkBudget.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

/// One token of a sentence: a character with its line breaks, or (unless CmpChar is on) a whole
/// run of letters and digits. The character comparison matches tokens by key and shows them by
/// text.
struct Token {
    std::int32_t matchStart = -1; ///< where the longest common run starting here begins; -1: none
    std::int32_t matchLength = 0; ///< length in tokens of that run
    TextStatus status = TextStatus::Changed; ///< Changed while unmatched, Same once matched
    std::string text;                        ///< the characters as shown; never empty
    std::string key;     ///< keys of its characters joined; empty for line breaks only
    bool folded = false; ///< merged into the run token before it; no longer a token of its own

    friend bool operator==(const Token &, const Token &) = default;
};

/// The tokens of a sentence in text order. Indexed directly by matching; merging a run marks the
/// folded tokens instead of erasing them one by one. A deque, so that a sentence of millions of
/// tokens grows and is freed in small blocks, never moved or released all at once in one step.
using TokenList = std::deque<Token>;

/// One character unit: the character with its line breaks, and the character's key.
struct CharUnit {
    std::string text;
    std::string key;
};

/// Reads the character unit at pos of text into unit: the line breaks before it (only at the start
/// of a sentence), the character (a half-width kana with a following voicing mark counts as one),
/// and every line break directly after it. Returns the offset after the unit, or nullopt, leaving
/// unit unchanged, when pos is at or past the end of text. The key is NormalizeText of the
/// character under options; line breaks never enter it.
std::optional<std::size_t> NextCharUnit(CharUnit &unit, std::string_view text, std::size_t pos,
                                        const CompareOptions &options);

/// Appends a new unmatched token {-1, 0, Changed, text, key} to list and adds 1 to count; does
/// nothing for an empty text.
void AddToken(TokenList &list, std::string text, std::string key, std::int32_t &count);

/// Appends the tokens of text to list in text order and returns how many it appended (0 for an
/// empty text). With CmpChar off, consecutive units whose keys start with an ASCII letter or
/// digit form one token. The token texts joined in order give text back.
std::int32_t CutTokens(TokenList &list, std::string_view text, const CompareOptions &options);

/// CutTokens in slices: each Cut appends the tokens of about a budget's worth of character units,
/// so that a sentence of millions of characters is cut over several calls. The text and the
/// options must outlive the cutter.
class TokenCutter {
public:
    TokenCutter(std::string_view text, const CompareOptions &options)
        : m_text(text), m_options(options)
    {}

    /// Appends tokens to list, adding their number to count; true once the text is used up.
    bool Cut(TokenList &list, std::int32_t &count, WorkBudget &budget);

private:
    std::string_view m_text;
    const CompareOptions &m_options;
    std::size_t m_pos = 0;
    CharUnit m_unit;
    std::string m_tokenText; // the token being gathered
    std::string m_key;
    bool m_gathering = false; // a run of letters and digits is being gathered
};

} // namespace kivo

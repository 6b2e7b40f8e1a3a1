#pragma once

#include "CompareOptions.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

/// One sentence of a text.
struct Sentence {
    std::string text;           ///< as shown, delimiter included; never empty
    std::string key;            ///< comparison key of text; empty for a sentence of line breaks
    std::int32_t wordCount = 0; ///< 0 until alignment first needs it, then cached

    friend bool operator==(const Sentence &, const Sentence &) = default;
};

/// The sentences of a text in text order; a sentence's position is its index. A deque, so that
/// millions of sentences are added and freed in small blocks, never moved all at once.
using SentenceList = std::deque<Sentence>;

/// A new sentence with the given text, its key under the options, and no word count yet.
Sentence MakeSentence(std::string_view text, const CompareOptions &options);
/// The same, taking over text's bytes (and its spare capacity) instead of copying them.
Sentence MakeSentence(std::string &&text, const CompareOptions &options);

/// Whether the character (one or two bytes) is one of delimiters. With doubleByte only the
/// two-byte delimiters are compared, otherwise only the one-byte ones; the set is walked one whole
/// character at a time, so a one-byte character never matches the trail byte of a delimiter.
bool IsDelimiter(std::string_view character, std::string_view delimiters, bool doubleByte);

/// Characters read per split step before it yields, so that a long text without delimiters still
/// lets the user interface run between steps.
inline constexpr int kSplitBudget = 102;

} // namespace kivo

#pragma once

#include "Progress.h"
#include "ResultPair.h"
#include "Sentence.h"
#include "WorkBudget.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kivo {

/// Class of one character (one or two bytes). The numbers are those the classes have always
/// had; word runs are runs of one class.
enum class CharKind : std::int32_t {
    AsciiDigit = 0,
    AsciiLetter = 1,
    Punctuation = 2, ///< blank, control or punctuation
    HalfWidthKana = 3,
    FullWidthDigit = 4,
    FullWidthLatin = 5,
    Symbol = 6, ///< any other two-byte character below the kanji
    Katakana = 7,
    Hiragana = 8,
    Kanji = 9
};

/// The number of character classes, for tables indexed by class.
inline constexpr std::size_t kCharKindCount = 10;

/// Class of one character. A lone lead byte (a one-byte character) is classed by the one-byte
/// rules; an empty string is Punctuation.
CharKind CharClass(std::string_view character);

/// Whether words of the class count: letters, kana and kanji, not digits, blanks or symbols.
bool IsWordClass(CharKind charClass);

/// 1 plus the number of word runs of the sentence's key that end before the key does (so at
/// least 1). Computed once and cached in the sentence's wordCount.
std::uint32_t WordCount(Sentence &sentence);

/// Counts the words of a key as WordCount does, reading the key in pieces that each hold whole
/// characters, so that a long key is counted over several steps.
class WordCounter {
public:
    void Add(std::string_view keyPiece);
    std::uint32_t Count() const { return m_count; }

private:
    std::uint32_t m_count = 1;
    std::optional<CharKind> m_previous; // none before the first character
};

/// Dissimilarity of two keys: words minus the number of word runs of split that occur as whole
/// characters in searchIn, counting each occurrence in split. An unfound word ended by a class
/// change uses up one unit of bound; with bound 0 left, the current value is returned at once, as
/// the candidate can no longer beat the best score. words must be at least the number of word
/// runs of split (alignment passes WordCount of split).
std::uint32_t WordMatchScore(std::string_view searchIn, std::string_view split, std::uint32_t words,
                             std::uint32_t bound);

/// The right sentences by key, so that anchoring finds the next equal sentence without
/// rescanning the right list. Flat tables of sentence indices (no allocation per key), so that
/// the index of millions of sentences is built in slices and freed at once. Reads the keys of the
/// list it was built on: rebuild it after the list changes.
class AnchorIndex {
public:
    /// Indexes every sentence of right.
    void Build(const SentenceList &right);
    /// Build in slices: indexes the next sentences of right; true once all are indexed. The list
    /// must not change between the calls.
    bool Build(const SentenceList &right, WorkBudget &budget);
    void Clear();

    /// The first right sentence after anchorRight (from 0 when anchorRight < 0) whose key equals
    /// key byte for byte; sets anchorRight to its index. nullopt, anchorRight unchanged, when
    /// there is none. Steps progress once. While anchorRight only grows from call to call (as in
    /// anchoring), each sentence of a key is passed over once in all.
    std::optional<std::int32_t> FindAnchor(std::string_view key, std::int32_t &anchorRight,
                                           IProgress &progress) const;

    /// The first right sentence whose key equals key byte for byte; -1 when there is none.
    std::int32_t FirstWithKey(std::string_view key) const;

private:
    /// The slot of key: its first sentence, or the empty slot where it would go.
    std::size_t SlotOf(std::string_view key) const;

    const SentenceList *m_right = nullptr;
    std::vector<std::int32_t> m_slots; // open addressing by key: a key's first sentence; -1 empty
    std::vector<std::int32_t> m_next;  // per sentence: the next one with its key; -1 none
    std::vector<std::int32_t> m_last;  // per first sentence of a key: the key's last so far
    mutable std::vector<std::int32_t> m_cursor;  // per first sentence of a key: first not passed
    mutable std::int32_t m_mostAnchorRight = -1; // the largest anchorRight asked about
};

/// What gap alignment reads and writes.
struct AlignmentLists {
    SentenceList &left;
    SentenceList &right;
    ResultList &results;
    IProgress &progress;
};

/// Aligns left sentences a+1 .. b-1 against right sentences c+1 .. d-1: repeatedly the most
/// similar pair becomes Changed, the part before it is aligned the same way, and what is left on
/// one side only becomes Deleted or Added. New records go in front of before (results.end()
/// appends), in reading order.
void AlignGap(AlignmentLists &lists, ResultList::iterator before, std::int32_t a, std::int32_t b,
              std::int32_t c, std::int32_t d, const EngineThresholds &thresholds = {});

/// The most similar pair of the gap (lowest score, then more words, then lowest left and right
/// index) as a Changed record, or nullopt when the gap has no left sentence. Steps progress once
/// per left sentence scanned; a score of 0 ends the search at once.
std::optional<ResultPair> FindBestPair(SentenceList &left, SentenceList &right, std::int32_t a,
                                       std::int32_t b, std::int32_t c, std::int32_t d,
                                       IProgress &progress);

/// Records left sentences a+1 .. b-1 as Deleted in front of before, in index order. Steps
/// progress once.
void EmitLeftOnly(AlignmentLists &lists, ResultList::iterator before, std::int32_t a,
                  std::int32_t b);

/// Records right sentences c+1 .. d-1 as Added in front of before, in index order. Steps
/// progress once.
void EmitRightOnly(AlignmentLists &lists, ResultList::iterator before, std::int32_t c,
                   std::int32_t d);

} // namespace kivo

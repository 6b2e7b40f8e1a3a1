#pragma once

#include "Alignment.h"
#include "WorkBudget.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace kivo {

/// AlignGap in slices: each Run aligns sub-gaps until its budget is spent, and a later Run goes
/// on with the next one, so that a gap of thousands of sentences never holds up one step. The
/// records and their order are AlignGap's.
///
/// A small gap rescans every sub-gap with FindBestPair. A larger one scores every pair once
/// through a word index: which words each sentence has, and which words occur in each sentence
/// (a word lies within one run of its class, so the pieces of the runs are looked up). Each left
/// sentence keeps its candidates best first; a sub-gap's best pair is then the best of its rows'
/// first candidates that lie inside it, since sub-gaps only ever shrink.
class GapAligner {
public:
    /// Starts on left a+1 .. b-1 against right c+1 .. d-1, records going in front of before. The
    /// lists must outlive the aligner and stay unchanged, apart from the records it inserts.
    GapAligner(AlignmentLists lists, ResultList::iterator before, std::int32_t a, std::int32_t b,
               std::int32_t c, std::int32_t d, const EngineThresholds &thresholds);

    /// Goes on aligning; true once every record of the gap is in the list.
    bool Run(WorkBudget &budget);

private:
    struct Gap {
        ResultList::iterator before;
        std::int32_t a, b, c, d;
    };
    /// One right sentence as the partner of a left one, with the pair's score and word count.
    struct Candidate {
        std::uint32_t score;
        std::uint32_t words;
        std::int32_t column; // right index minus the first right index of the gap
    };
    struct WordUse {
        std::int32_t word;
        std::uint32_t count;
    };
    enum class Mode { Direct, Words, Contained, Rows, Indexed };

    /// Whether a is the better partner of one left sentence: lower score, then more words, then
    /// the lower right index; among score-0 candidates only the index counts, as the scan stops
    /// at the first of them.
    static bool Better(const Candidate &a, const Candidate &b);

    bool IndexStep(WorkBudget &budget);
    void AddWords(std::int32_t sentence);
    void AddContained(std::int32_t sentence);
    void ScoreRow(std::int32_t row);
    void SortBestFirst(std::vector<Candidate> &candidates);
    void UseDirectSearch();
    std::optional<std::pair<std::int32_t, std::int32_t>> BestPair(const Gap &gap,
                                                                  WorkBudget &budget);
    std::optional<std::pair<std::int32_t, std::int32_t>> IndexedBestPair(const Gap &gap,
                                                                         WorkBudget &budget);
    Sentence &SentenceAt(std::int32_t sentence);

    AlignmentLists m_lists;
    std::vector<Gap> m_pending;
    Mode m_mode = Mode::Direct;
    std::int32_t m_firstLeft = 0;  // a + 1 of the whole gap
    std::int32_t m_firstRight = 0; // c + 1 of the whole gap
    std::int32_t m_rowCount = 0;
    std::int32_t m_columnCount = 0;
    std::int32_t m_next = 0; // the sentence or row the index is built on next

    // Sentences are numbered rows first (0 .. rows-1), then columns.
    std::unordered_map<std::string_view, std::int32_t> m_dictionary;
    std::array<std::size_t, kCharKindCount> m_longestWord{}; // in characters, per character class
    std::vector<std::vector<WordUse>> m_words;          // per sentence: its words and how often
    std::vector<std::vector<std::int32_t>> m_contained; // per row: words occurring in it
    std::vector<std::vector<std::int32_t>> m_occursInColumns; // per word: columns it occurs in
    std::vector<std::vector<std::pair<std::int32_t, std::uint32_t>>>
        m_usedByColumns; // per word: columns that have it as a word, and how often
    std::vector<std::vector<Candidate>> m_candidates; // per row: best first
    std::vector<std::size_t> m_nextCandidate;         // per row: its first candidate not passed
    std::vector<Candidate> m_sortScratch;
    std::vector<std::uint32_t> m_countingStarts;
    std::int64_t m_lookupsLeft = 0;
};

} // namespace kivo

#pragma once

#include "Alignment.h"
#include "Progress.h"
#include "Sentence.h"
#include "WorkBudget.h"

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

namespace kivo {

/// Decides which first-fit anchors anchoring keeps, so that the anchors are as many as any
/// alignment of equal sentences can have.
///
/// Anchoring takes, for each left sentence i in turn, the first equal right sentence j after the
/// previous anchor p. Let f(i, j) be the length of a longest common subsequence of the left keys
/// from i on and the right keys from j on. The anchor is kept unless 1 + f(i+1, j+1) <
/// f(i+1, p+1), that is unless leaving i unanchored lets strictly more of the remaining sentences
/// anchor. The anchors then form a longest common subsequence of the keys, and wherever first-fit
/// already finds that many, nothing is vetoed.
///
/// f is never a table. Prepare runs over the left sentences from the last to the first and keeps,
/// for the current suffix of the left list, the thresholds t[k] = the largest right start j with
/// f(i, j) >= k (strictly falling in k); each right sentence equal to left i can raise one of
/// them, and f(i, j) is the number of thresholds at or above j. Every change is logged, so that
/// the walk in reading order takes them back one left sentence at a time.
///
/// The work is a binary search per equal pair of sentences. When that would pass the exact-work
/// limit (tens of thousands of copies of a few sentences), only the equal pairs near the diagonal
/// of the two lists are used (a band of right indices around i * right / left): the rule is then
/// applied with the common lengths within the band, in a trial walk, and its anchors are kept when
/// they are at least as many as first-fit's, the first-fit anchors otherwise. Exact() is then
/// false.
class MaximalAnchors {
public:
    /// Resumable preparation over left against right, whose keys index was built on: true once
    /// done. Steps progress once per left sentence and pass. The lists and the index must not
    /// change until the walk ends.
    bool Prepare(const SentenceList &left, const SentenceList &right, const AnchorIndex &index,
                 std::int64_t workLimit, IProgress &progress, WorkBudget &budget);

    /// Whether left sentence i (called for i = 0, 1, ... in order, once each) keeps its first-fit
    /// candidate, right sentence candidate (none when it has none).
    bool Keep(std::int32_t i, std::optional<std::int32_t> candidate);

    /// Whether the anchors kept are as many as possible (false after the band was used).
    bool Exact() const { return m_exact; }

    void Clear();

private:
    enum class Phase { GroupRight, GroupLeft, Sort, Sweep, Trial, Ready };
    struct Change {
        std::int32_t k;   // threshold index
        std::int32_t old; // its value before; -1 for a threshold that did not exist
    };

    bool GroupStep(const SentenceList &list, std::vector<std::int32_t> &groups,
                   const AnchorIndex &index, WorkBudget &budget);
    void SortByGroup();
    bool SweepStep(IProgress &progress, WorkBudget &budget);
    bool TrialStep(IProgress &progress, WorkBudget &budget);
    std::int64_t SweepCost() const;
    std::pair<std::size_t, std::size_t> Occurrences(std::int32_t i) const;
    std::optional<std::int32_t> FirstAfter(std::int32_t i, std::int32_t p) const;
    void Raise(std::int32_t q);
    void TakeBack(std::int32_t i);
    std::int32_t CommonFrom(std::int32_t j) const;

    Phase m_phase = Phase::GroupRight;
    bool m_started = false;
    bool m_exact = true;
    std::int32_t m_leftCount = 0;
    std::int32_t m_rightCount = 0;
    std::int32_t m_next = 0; // the sentence a pass works on next
    std::size_t m_occurrence = 0; // in a sweep: the next occurrence of the left sentence's key
    std::size_t m_occurrenceEnd = 0;
    bool m_inSentence = false;

    // Right sentences grouped by key: a key's group is its first right sentence.
    std::vector<std::int32_t> m_rightGroup; // per right sentence
    std::vector<std::int32_t> m_leftGroup;  // per left sentence; -1 when no right one is equal
    std::vector<std::int32_t> m_groupStart; // per group (indexed by its first sentence) + 1
    std::vector<std::int32_t> m_positions;  // right sentences by group, ascending in each

    std::vector<std::int32_t> m_thresholds; // t[0] = right count, t[1 .. m_length]; -1 past
    std::int32_t m_length = 0;
    std::deque<Change> m_log;            // changes, left sentences last to first; in blocks
    std::vector<std::int32_t> m_changes; // per left sentence: how many changes it logged
    std::int32_t m_previous = -1;        // the right index of the last anchor kept

    // Trial walk of the band: its decisions, its anchors and first-fit's.
    std::vector<bool> m_trialKeeps;
    std::int32_t m_trialPrevious = -1;
    std::int32_t m_firstFitPrevious = -1;
    std::int64_t m_trialAnchors = 0;
    std::int64_t m_firstFitAnchors = 0;
    bool m_useTrial = false;
};

} // namespace kivo

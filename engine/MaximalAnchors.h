#pragma once

#include "Alignment.h"
#include "Sentence.h"
#include "WorkBudget.h"

#include <cstdint>
#include <deque>
#include <optional>
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
/// them. Every change is logged, so that the walk in reading order takes them back one left
/// sentence at a time and reads f(i+1, j+1) >= k as t[k] >= j + 1. The work is a binary search
/// per equal pair of sentences, counted in its steps; past the exact-work limit, or when the log
/// would outgrow its limit, the planner gives up, keeps every first-fit anchor and reports that
/// the answer is not exact.
class MaximalAnchors {
public:
    /// Resumable preparation over left against the right list that index was built on: true once
    /// done. Steps progress once per left sentence. The lists and the index must not change
    /// until the walk ends.
    bool Prepare(const SentenceList &left, std::int32_t rightCount, const AnchorIndex &index,
                 std::int64_t workLimit, IProgress &progress, WorkBudget &budget);

    /// Whether left sentence i (called for i = 0, 1, ... in order, once each) keeps its first-fit
    /// candidate, right sentence candidate (none when it has none).
    bool Keep(std::int32_t i, std::optional<std::int32_t> candidate);

    /// Whether Prepare found the exact answer; false when it gave up and every first-fit anchor
    /// is kept.
    bool Exact() const { return m_exact; }
    /// The number of anchors the walk will make when the answer is exact.
    std::int32_t MostAnchors() const { return m_length; }

    void Clear();

private:
    struct Change {
        std::int32_t k;   // threshold index
        std::int32_t old; // its value before; -1 for a threshold that did not exist
    };

    void Raise(std::int32_t q);
    void GiveUp();

    bool m_started = false;
    bool m_exact = true;
    std::int32_t m_nextLeft = -1;    // the left sentence Prepare works on (counting down)
    std::int32_t m_occurrence = -1;  // its next equal right sentence; -1 to look the key up
    std::int64_t m_work = 0;
    std::vector<std::int32_t> m_thresholds; // t[0] = right count, then t[1 .. m_length]; -1 past
    std::int32_t m_length = 0;              // f(0, 0) once prepared
    std::deque<Change> m_log;               // changes, left sentences last to first; a deque,
                                            // so that it grows and shrinks in small blocks
    std::vector<std::int32_t> m_changes;    // per left sentence: how many changes it logged
    std::int32_t m_remaining = 0;           // f(i, p + 1) during the walk
};

} // namespace kivo

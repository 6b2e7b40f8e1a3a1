#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>

namespace kivo {

/// Work one call of a resumable engine operation may do before it returns to the caller. Units
/// are small, roughly equal pieces of work (a token cut, a symbol added to an index, a posting
/// visited), so that the number of units says how long a call ran. The operations check the
/// budget only between units, so the answer never depends on it; only the number of calls does.
class WorkBudget {
public:
    explicit WorkBudget(std::int64_t units) : m_left(units) {}

    /// A budget that never runs out: the operation finishes in one call.
    static WorkBudget Unlimited() { return WorkBudget(std::numeric_limits<std::int64_t>::max()); }

    /// Records units of work done.
    void Spend(std::int64_t units) { m_left -= units; }
    /// Whether the call should return now and go on in the next one.
    bool Exhausted() const { return m_left <= 0; }
    /// Units still to spend (negative once overspent).
    std::int64_t Left() const { return m_left; }

private:
    std::int64_t m_left;
};

/// Makes the allocator finish freeing the small blocks given back so far. A common allocator only
/// queues small blocks (a sentence's or a token's strings) and merges the whole queue at its next
/// large request or release. A step that frees records one by one calls this before it returns,
/// so that it does its own share of that work: otherwise the step that releases the list itself
/// would do every record's at once.
inline void SettleFreedBlocks()
{
    // Bytes of a request that the allocator serves from its large blocks.
    constexpr std::size_t kLargeRequestBytes = 4096;
    // A direct call of the allocation function, which, unlike a new-expression, is never elided.
    ::operator delete(::operator new(kLargeRequestBytes));
}

/// Work units of one Comparison::Step: a few milliseconds on the slowest supported machine, so
/// the user interface answers between steps even while one long pair or wide gap is compared.
inline constexpr std::int64_t kStepWorkUnits = 25'000;

/// Sizes from which the engine's indexed searches take over from the direct loops. Below them the
/// direct loops are faster; the results are the same either way. Tests set them all to zero so
/// that every indexed path runs on small inputs.
struct EngineThresholds {
    /// Common runs: product of the two token range lengths up to which every pair of positions
    /// is compared directly instead of indexing the longer range.
    std::int64_t directRunCells = 256;
    /// Gap alignment: number of sentence pairs of a gap up to which each sub-gap is scanned
    /// directly instead of scoring every pair once through the word index.
    std::int64_t directGapPairs = 64;
    /// Anchoring: work units up to which the anchors that let the most sentences anchor are
    /// found exactly. Past them (tens of thousands of copies of a few sentences) only equal
    /// sentences near the diagonal count, never giving fewer anchors than first-fit, and the
    /// comparison says so.
    std::int64_t exactAnchoringWork = 50'000'000;
    /// Common runs of one changed pair: tokens that longest-run-first searches may cover, as the
    /// floor plus so many per token matched so far. Each search covers its ranges, so on a pair
    /// that differs every few characters the cost is the length times the number of runs while
    /// little is matched; past this the rest of the pair is matched by a shortest edit script.
    std::int64_t exactRunWorkFloor = 250'000;
    std::int64_t exactRunWorkPerMatch = 64;
    /// Common runs: tokens of a pair of ranges (both together) from which the longest run is
    /// looked for by pieces of numbers (RunFinder) instead of the suffix automaton alone.
    std::int64_t gramSearchTokens = 1024;
};

} // namespace kivo

#pragma once

#include "SuffixAutomaton.h"
#include "WorkBudget.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace kivo {

/// Finds what LongestRunSearch finds (the longest run of equal numbers in x[xs, xe) and
/// y[ys, ye); of equal lengths the one that starts first in y, then first in x) with far less
/// memory and time where the two ranges share long runs, as the two sides of an edited sentence
/// do. Resumable like it.
///
/// The two diagonals through the ranges' corners (the ranges laid side by side from their starts
/// and from their ends) give a run of some length L for a linear scan. Then:
/// - L >= 16: every run of length >= L covers, in x, a whole piece of q = min(32, L / 2) numbers
///   starting at a multiple of s = L - q + 1 from xs. Those pieces are indexed by hash (a few per
///   thousand numbers on an edited copy), y's pieces are rolled past them, and each hit is
///   extended to its maximal run once per diagonal. That enumerates every run of length >= L,
///   so the best of them is the answer, ties included.
/// - 1 <= L < 16, or too many hits (repetitive text): counts instead. While some piece of L + 1
///   numbers of y occurs in x (a table of x's distinct pieces and where each first occurs), L
///   becomes the length of that run; once none does, the longest length is L, and the first piece
///   of y of that length found in the table, with the table's first place in x, is the answer.
/// - Otherwise (no run on the diagonals, too many distinct pieces, a hash collision, too many
///   rounds): the suffix automaton of LongestRunSearch.
/// Every way gives the same run; only the work differs.
class RunFinder {
public:
    /// How the last search found its run.
    enum class Method { Sampled, Counted, Automaton };

    /// Starts a search; the spans must stay valid until it is finished. Ranges of fewer than
    /// gramTokens numbers together go to the suffix automaton at once.
    void Start(std::span<const std::int32_t> x, std::int32_t xs, std::int32_t xe,
               std::span<const std::int32_t> y, std::int32_t ys, std::int32_t ye,
               std::int64_t gramTokens);

    /// Goes on with the search; true once Result is known.
    bool Advance(WorkBudget &budget);

    /// The run found; length 0 (and -1 starts) when the ranges share no number.
    CommonRun Result() const { return m_best; }

    Method LastMethod() const { return m_method; }

    /// Frees the tables and the automaton a budget's worth at a time; true once all is freed.
    bool Release(WorkBudget &budget);

private:
    enum class Phase { Diagonals, SampleX, ScanY, GramsX, GramsY, Automaton, Done };

    bool ScanDiagonals(WorkBudget &budget);
    void StartSampling();
    bool SampleX(WorkBudget &budget);
    bool ScanY(WorkBudget &budget);
    std::int64_t Hit(std::int32_t p, std::int32_t j);
    bool Charge(WorkBudget &budget, std::int64_t ops);
    void StartCounting(std::int32_t length, bool locate);
    bool GramsX(WorkBudget &budget);
    bool GramsY(WorkBudget &budget);
    void StartAutomaton();
    void Offer(std::int32_t x, std::int32_t y, std::int32_t length);
    std::int32_t X(std::int32_t i) const { return m_x[static_cast<std::size_t>(i)]; }
    std::int32_t Y(std::int32_t i) const { return m_y[static_cast<std::size_t>(i)]; }
    std::uint64_t HashX(std::int32_t p) const;
    void InsertFirst(std::uint64_t hash, std::int32_t p);
    std::int32_t FindFirst(std::uint64_t hash) const;
    void FreeTables();

    std::span<const std::int32_t> m_x;
    std::span<const std::int32_t> m_y;
    std::int32_t m_xs = 0, m_xe = 0, m_ys = 0, m_ye = 0;
    Phase m_phase = Phase::Done;
    Method m_method = Method::Automaton;
    CommonRun m_best;

    // Diagonals: which one (0 from the starts, 1 from the ends), the offset along it and the
    // length of the equal run that ends there.
    int m_diagonal = 0;
    std::int32_t m_along = 0;
    std::int32_t m_runLength = 0;

    // Pieces: their length, the power of the base that rolls one number out, the position
    // reached and the hash of the piece there.
    std::int32_t m_q = 0;
    std::uint64_t m_outPower = 1;
    std::int32_t m_next = 0;
    std::uint64_t m_rolling = 0;
    std::int64_t m_work = 0;    // comparisons and hashes of this search
    std::int64_t m_unspent = 0; // of them, not yet charged to a budget
    std::int64_t m_workLimit = 0;

    // Sampled pieces of x: chains of entries with equal hashes, in ascending position, headed
    // from an open-addressing table of slots (-1 empty).
    std::int32_t m_step = 0;
    std::unique_ptr<std::uint64_t[]> m_entryHash;
    std::unique_ptr<std::int32_t[]> m_entryPos;
    std::unique_ptr<std::int32_t[]> m_entryNext;
    std::unique_ptr<std::int32_t[]> m_slots;
    std::size_t m_slotCount = 0;
    std::size_t m_cleared = 0; // slots cleared so far
    // Per diagonal x - y met by a hit: the end in y of the last run extended on it.
    std::unordered_map<std::int32_t, std::int32_t> m_covered;
    std::size_t m_mostCovered = 0;

    // Counting: the table of x's distinct pieces and the first position of each.
    bool m_locate = false;
    int m_rounds = 0;
    std::vector<std::uint64_t> m_firstHash;
    std::vector<std::int32_t> m_firstPos; // -1: empty slot
    std::size_t m_firstCount = 0;

    LongestRunSearch m_automaton;
};

} // namespace kivo

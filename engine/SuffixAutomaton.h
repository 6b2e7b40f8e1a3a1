#pragma once

#include "WorkBudget.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kivo {

/// The suffix automaton of a sequence of small non-negative numbers, built one number at a time:
/// the smallest automaton that accepts every contiguous piece of the sequence. Walking another
/// sequence through it gives, at each position, the longest piece ending there that also occurs
/// in the indexed sequence, and where that piece first ends in it. Size and time are linear in
/// the sequence: at most 2n states and 3n transitions.
class SuffixAutomaton {
public:
    /// Where a walk stands: the state and the length of the piece matched so far.
    struct Cursor {
        std::int32_t state = 0;
        std::int32_t length = 0;
    };

    /// Empties the automaton (it then accepts only the empty piece) and reserves room for a
    /// sequence of about the given length.
    void Reset(std::size_t expectedLength);

    /// Appends one number to the indexed sequence.
    void Extend(std::int32_t symbol);

    /// Moves the cursor on by symbol: afterwards cursor.length is the length of the longest
    /// suffix of the walked sequence that occurs in the indexed one (0 when none does).
    void Advance(Cursor &cursor, std::int32_t symbol) const;

    /// 0-based position in the indexed sequence where the piece the cursor stands for ends first.
    /// Undefined for a cursor of length 0.
    std::int32_t FirstEnd(const Cursor &cursor) const;

private:
    struct State {
        std::int32_t length;    // longest piece of the state
        std::int32_t link;      // state of the longest suffix in another state; -1 at the root
        std::int32_t firstEdge; // head of the state's transition list; -1 when none
        std::int32_t firstEnd;  // end position of the state's first occurrence
    };
    struct Edge {
        std::int32_t from;
        std::int32_t symbol;
        std::int32_t target;
        std::int32_t next; // next transition of the same state
    };

    std::int32_t FindEdge(std::int32_t state, std::int32_t symbol) const;
    void AddEdge(std::int32_t from, std::int32_t symbol, std::int32_t target);
    void Insert(std::int32_t edge);
    std::size_t Slot(std::int32_t state, std::int32_t symbol) const;

    std::vector<State> m_states;
    std::vector<Edge> m_edges;
    std::vector<std::int32_t> m_slots; // open addressing over (from, symbol); -1 = empty
    std::int32_t m_last = 0;
};

/// A longest common run of two sequences: where it starts in each and how long it is.
struct CommonRun {
    std::int32_t x = -1;
    std::int32_t y = -1;
    std::int32_t length = 0;
};

/// Finds the longest run of equal numbers in x[xs, xe) and y[ys, ye) in time linear in the two
/// ranges: of equal lengths the one that starts first in y, then first in x. This is the run that
/// comparing every position of y with every position of x would pick. Resumable: Advance does a
/// budget's worth of work and returns whether the search is finished.
class LongestRunSearch {
public:
    /// Starts a search; the spans must stay valid until it is finished.
    void Start(std::span<const std::int32_t> x, std::int32_t xs, std::int32_t xe,
               std::span<const std::int32_t> y, std::int32_t ys, std::int32_t ye);

    /// Goes on with the search; true once Result is known.
    bool Advance(WorkBudget &budget);

    /// The run found; length 0 (and -1 starts) when the ranges share no number.
    CommonRun Result() const { return m_best; }

private:
    std::span<const std::int32_t> m_x;
    std::span<const std::int32_t> m_y;
    std::int32_t m_xs = 0, m_xe = 0, m_ys = 0, m_ye = 0;
    std::int32_t m_next = 0; // next position to index in x, then to walk in y
    bool m_indexed = false;
    SuffixAutomaton m_automaton;
    SuffixAutomaton::Cursor m_cursor;
    CommonRun m_best;
};

} // namespace kivo

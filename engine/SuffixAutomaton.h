#pragma once

#include "WorkBudget.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace kivo {

/// An array of trivial values kept in blocks of fixed size, so that it grows without moving what
/// it holds and can be freed a block at a time. New values are not initialised.
template <typename T> class BlockArray {
public:
    static constexpr std::size_t kBlockShift = 14;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockShift;

    T &operator[](std::size_t i) { return m_blocks[i >> kBlockShift][i & (kBlockSize - 1)]; }
    const T &operator[](std::size_t i) const
    {
        return m_blocks[i >> kBlockShift][i & (kBlockSize - 1)];
    }
    std::size_t size() const { return m_size; }

    void push_back(const T &value)
    {
        Resize(m_size + 1);
        (*this)[m_size - 1] = value;
    }
    /// Sets the size; new values are not initialised. Blocks are kept when it shrinks.
    void Resize(std::size_t size)
    {
        while (m_blocks.size() * kBlockSize < size)
            m_blocks.push_back(std::make_unique_for_overwrite<T[]>(kBlockSize));
        m_size = size;
    }
    /// Frees the last block not in use; false when there is none.
    bool FreeBlock()
    {
        if (m_blocks.size() * kBlockSize < m_size + kBlockSize)
            return false;
        m_blocks.pop_back();
        return true;
    }

private:
    std::vector<std::unique_ptr<T[]>> m_blocks;
    std::size_t m_size = 0;
};

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
    /// sequence of up to the given length. The transition table is cleared by Prepare, in slices,
    /// so that indexing millions of tokens never clears a large table in one go.
    void Reset(std::size_t expectedLength);

    /// Clears the next part of the transition table; true once the automaton can be extended.
    bool Prepare(WorkBudget &budget);

    /// Empties the automaton and frees its memory a block at a time; true once all is freed.
    bool Release(WorkBudget &budget);

    /// Transition look-ups and insertions done since Reset: the automaton's work, each a probe
    /// into tables that outgrow the caches on long sequences.
    std::int64_t Work() const { return m_work; }

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

    // Blocks, not vectors: an automaton of millions of states is built and freed over many
    // steps, never moved or freed in one piece.
    BlockArray<State> m_states;
    BlockArray<Edge> m_edges;
    // Open addressing over (from, symbol); -1 = empty. Its size is a power of two. Allocated
    // without being written, so that only Prepare touches its pages.
    BlockArray<std::int32_t> m_slots;
    std::size_t m_cleared = 0; // slots cleared so far by Prepare
    std::int32_t m_last = 0;
    mutable std::int64_t m_work = 0;
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
    /// Frees the index's memory a budget's worth at a time; true once it is all freed.
    bool Release(WorkBudget &budget) { return m_automaton.Release(budget); }

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

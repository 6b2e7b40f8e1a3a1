#include "SuffixAutomaton.h"

#include <algorithm>
#include <cassert>

namespace kivo {

namespace {

// Transition slots are kept at most half full, so probes stay short.
constexpr std::size_t kSlotsPerEdge = 2;
constexpr std::size_t kMinimumSlots = 16;
// A sequence of n symbols makes at most 3n transitions: the table is sized for them at once, so
// that it is never rebuilt (rebuilding millions of transitions would be one long step).
constexpr std::size_t kMostEdgesPerSymbol = 3;
// Slots cleared per work unit by Prepare: a quarter page of the table, as the first write to a
// page also costs the page fault that maps it.
constexpr std::size_t kSlotsClearedPerUnit = 256;
// Work units of freeing one block of the automaton's tables (up to 256 KB, returned page by
// page to the system).
constexpr std::int64_t kUnitsPerFreedBlock = 64;

std::size_t RoundUpToPowerOfTwo(std::size_t n)
{
    std::size_t p = kMinimumSlots;
    while (p < n)
        p *= 2;
    return p;
}

} // namespace

void SuffixAutomaton::Reset(std::size_t expectedLength)
{
    m_states.Resize(0);
    m_edges.Resize(0);
    m_slots.Resize(RoundUpToPowerOfTwo(kSlotsPerEdge * (kMostEdgesPerSymbol * expectedLength + 1)));
    m_cleared = 0;
    m_states.push_back({0, -1, -1, -1});
    m_last = 0;
    m_work = 0;
}

bool SuffixAutomaton::Prepare(WorkBudget &budget)
{
    for (; m_cleared < m_slots.size(); ++m_cleared) {
        if (m_cleared % kSlotsClearedPerUnit == 0) {
            if (budget.Exhausted())
                return false;
            budget.Spend(1);
        }
        m_slots[m_cleared] = -1;
    }
    return true;
}

bool SuffixAutomaton::Release(WorkBudget &budget)
{
    m_states.Resize(0);
    m_edges.Resize(0);
    m_slots.Resize(0);
    m_cleared = 0;
    for (;;) {
        if (budget.Exhausted())
            return false;
        if (!m_states.FreeBlock() && !m_edges.FreeBlock() && !m_slots.FreeBlock())
            return true;
        budget.Spend(kUnitsPerFreedBlock);
    }
}

std::size_t SuffixAutomaton::Slot(std::int32_t state, std::int32_t symbol) const
{
    auto h = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(state)) << 32) |
             static_cast<std::uint32_t>(symbol);
    // A 64-bit finaliser mixes both halves into the low bits the mask keeps.
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return static_cast<std::size_t>(h) & (m_slots.size() - 1);
}

std::int32_t SuffixAutomaton::FindEdge(std::int32_t state, std::int32_t symbol) const
{
    assert(m_cleared == m_slots.size() && "the automaton is used before Prepare finished");
    ++m_work;
    for (std::size_t s = Slot(state, symbol);; s = (s + 1) & (m_slots.size() - 1)) {
        const std::int32_t e = m_slots[s];
        if (e < 0)
            return -1;
        const Edge &edge = m_edges[static_cast<std::size_t>(e)];
        if (edge.from == state && edge.symbol == symbol)
            return e;
    }
}

void SuffixAutomaton::Insert(std::int32_t edge)
{
    const Edge &e = m_edges[static_cast<std::size_t>(edge)];
    std::size_t s = Slot(e.from, e.symbol);
    while (m_slots[s] >= 0)
        s = (s + 1) & (m_slots.size() - 1);
    m_slots[s] = edge;
}

void SuffixAutomaton::AddEdge(std::int32_t from, std::int32_t symbol, std::int32_t target)
{
    ++m_work;
    State &state = m_states[static_cast<std::size_t>(from)];
    m_edges.push_back({from, symbol, target, state.firstEdge});
    state.firstEdge = static_cast<std::int32_t>(m_edges.size() - 1);
    if (m_edges.size() * kSlotsPerEdge > m_slots.size()) {
        // Only when more symbols were added than Reset was told of.
        m_slots.Resize(m_slots.size() * 2);
        for (std::size_t s = 0; s < m_slots.size(); ++s)
            m_slots[s] = -1;
        m_cleared = m_slots.size();
        for (std::size_t e = 0; e < m_edges.size(); ++e)
            Insert(static_cast<std::int32_t>(e));
    } else {
        Insert(state.firstEdge);
    }
}

void SuffixAutomaton::Extend(std::int32_t symbol)
{
    const std::int32_t length = m_states[static_cast<std::size_t>(m_last)].length + 1;
    const auto current = static_cast<std::int32_t>(m_states.size());
    m_states.push_back({length, 0, -1, length - 1});
    std::int32_t p = m_last;
    m_last = current;
    for (; p >= 0 && FindEdge(p, symbol) < 0; p = m_states[static_cast<std::size_t>(p)].link)
        AddEdge(p, symbol, current);
    if (p < 0)
        return; // the root's link: the new piece's suffixes are all new but the empty one
    const std::int32_t q = m_edges[static_cast<std::size_t>(FindEdge(p, symbol))].target;
    const State qState = m_states[static_cast<std::size_t>(q)];
    if (m_states[static_cast<std::size_t>(p)].length + 1 == qState.length) {
        m_states[static_cast<std::size_t>(current)].link = q;
        return;
    }
    // q holds longer pieces too: split off the ones of length p + 1 into a clone of q.
    const auto clone = static_cast<std::int32_t>(m_states.size());
    m_states.push_back(
        {m_states[static_cast<std::size_t>(p)].length + 1, qState.link, -1, qState.firstEnd});
    for (std::int32_t e = qState.firstEdge; e >= 0; e = m_edges[static_cast<std::size_t>(e)].next)
        AddEdge(clone, m_edges[static_cast<std::size_t>(e)].symbol,
                m_edges[static_cast<std::size_t>(e)].target);
    for (; p >= 0; p = m_states[static_cast<std::size_t>(p)].link) {
        Edge &edge = m_edges[static_cast<std::size_t>(FindEdge(p, symbol))];
        if (edge.target != q)
            break;
        edge.target = clone;
    }
    m_states[static_cast<std::size_t>(q)].link = clone;
    m_states[static_cast<std::size_t>(current)].link = clone;
}

void SuffixAutomaton::Advance(Cursor &cursor, std::int32_t symbol) const
{
    for (;;) {
        const std::int32_t e = FindEdge(cursor.state, symbol);
        if (e >= 0) {
            cursor.state = m_edges[static_cast<std::size_t>(e)].target;
            ++cursor.length;
            return;
        }
        if (cursor.state == 0) {
            cursor.length = 0;
            return;
        }
        cursor.state = m_states[static_cast<std::size_t>(cursor.state)].link;
        cursor.length = m_states[static_cast<std::size_t>(cursor.state)].length;
    }
}

std::int32_t SuffixAutomaton::FirstEnd(const Cursor &cursor) const
{
    assert(cursor.length > 0 && "an empty piece has no end");
    return m_states[static_cast<std::size_t>(cursor.state)].firstEnd;
}

void LongestRunSearch::Start(std::span<const std::int32_t> x, std::int32_t xs, std::int32_t xe,
                             std::span<const std::int32_t> y, std::int32_t ys, std::int32_t ye)
{
    m_x = x;
    m_y = y;
    m_xs = xs;
    m_xe = xe;
    m_ys = ys;
    m_ye = ye;
    m_next = xs;
    m_indexed = false;
    m_cursor = {};
    m_best = {};
    m_automaton.Reset(static_cast<std::size_t>(xe > xs ? xe - xs : 0));
}

bool LongestRunSearch::Advance(WorkBudget &budget)
{
    // Index x's range, then walk y's range through it. The walk meets every position of y at
    // the end of its longest common piece; taking only a strictly longer piece keeps the first
    // end in y, which is also the first start among pieces of that length, and the automaton's
    // first end in x gives the lowest start in x. Each transition probed or added is a unit.
    if (!m_indexed && !m_automaton.Prepare(budget))
        return false;
    for (; !m_indexed && m_next < m_xe; ++m_next) {
        if (budget.Exhausted())
            return false;
        const std::int64_t before = m_automaton.Work();
        m_automaton.Extend(m_x[static_cast<std::size_t>(m_next)]);
        budget.Spend(m_automaton.Work() - before);
    }
    if (!m_indexed) {
        m_indexed = true;
        m_next = m_ys;
    }
    for (; m_next < m_ye; ++m_next) {
        if (budget.Exhausted())
            return false;
        const std::int64_t before = m_automaton.Work();
        m_automaton.Advance(m_cursor, m_y[static_cast<std::size_t>(m_next)]);
        budget.Spend(m_automaton.Work() - before);
        if (m_cursor.length > m_best.length) {
            m_best.length = m_cursor.length;
            m_best.y = m_next - m_cursor.length + 1;
            m_best.x = m_xs + m_automaton.FirstEnd(m_cursor) - m_cursor.length + 1;
        }
    }
    return true;
}

} // namespace kivo

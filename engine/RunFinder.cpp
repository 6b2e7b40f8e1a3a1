#include "RunFinder.h"

#include <algorithm>

namespace kivo {

namespace {

// Odd multiplier of the polynomial hash of a piece (arithmetic modulo 2^64). Hashes only pick
// candidates: every run is compared number by number before it counts.
constexpr std::uint64_t kBase = 0x9E3779B97F4A7C15ULL;
// Shortest diagonal run from which pieces of x are sampled, and the longest piece.
constexpr std::int32_t kSampledMinRun = 16;
constexpr std::int32_t kLongestPiece = 32;
// Positions compared or hashed per work unit: a unit of the automaton is a probe into a table
// that outgrows the caches, these are sequential reads.
constexpr std::int64_t kOpsPerUnit = 16;
// Work gathered before the budget is charged and checked.
constexpr std::int64_t kOpsPerCheck = 1024;
// Sampled hits past which the ranges count as repetitive: so many times their length.
constexpr std::int64_t kHitWorkPerToken = 4;
// Counting gives up on more distinct pieces than this (text that is neither an edited copy nor
// repetitive), or after so many rounds of longer pieces.
constexpr std::size_t kMostCountedPieces = std::size_t{1} << 16;
constexpr int kMostCountingRounds = 8;
constexpr std::size_t kFirstTableSlots = 1024;

std::uint64_t Mix(std::uint64_t h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    return h;
}

std::uint64_t Power(std::int32_t exponent)
{
    std::uint64_t p = 1;
    for (std::int32_t n = 0; n < exponent; ++n)
        p *= kBase;
    return p;
}

std::uint64_t Symbol(std::int32_t number)
{
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(number)) + 1;
}

std::uint64_t HashPiece(std::span<const std::int32_t> s, std::int32_t start, std::int32_t length)
{
    std::uint64_t h = 0;
    for (std::int32_t i = 0; i < length; ++i)
        h = h * kBase + Symbol(s[static_cast<std::size_t>(start + i)]);
    return h;
}

std::size_t SlotsFor(std::size_t entries)
{
    std::size_t slots = 16;
    while (slots < 2 * entries)
        slots *= 2;
    return slots;
}

} // namespace

void RunFinder::Start(std::span<const std::int32_t> x, std::int32_t xs, std::int32_t xe,
                      std::span<const std::int32_t> y, std::int32_t ys, std::int32_t ye,
                      std::int64_t gramTokens)
{
    m_x = x;
    m_y = y;
    m_xs = xs;
    m_xe = xe;
    m_ys = ys;
    m_ye = ye;
    m_best = {};
    m_rounds = 0;
    m_work = 0;
    m_unspent = 0;
    if (xs >= xe || ys >= ye) {
        m_phase = Phase::Done;
        return;
    }
    if (static_cast<std::int64_t>(xe - xs) + (ye - ys) < gramTokens) {
        StartAutomaton();
        return;
    }
    m_phase = Phase::Diagonals;
    m_diagonal = 0;
    m_along = 0;
    m_runLength = 0;
}

bool RunFinder::Charge(WorkBudget &budget, std::int64_t ops)
{
    m_work += ops;
    m_unspent += ops;
    if (m_unspent < kOpsPerCheck)
        return false;
    budget.Spend(m_unspent / kOpsPerUnit);
    m_unspent %= kOpsPerUnit;
    return budget.Exhausted();
}

bool RunFinder::Advance(WorkBudget &budget)
{
    for (;;) {
        if (m_phase == Phase::Done)
            return true;
        if (budget.Exhausted())
            return false;
        bool finished = false;
        switch (m_phase) {
        case Phase::Diagonals:
            finished = ScanDiagonals(budget);
            break;
        case Phase::SampleX:
            finished = SampleX(budget);
            break;
        case Phase::ScanY:
            finished = ScanY(budget);
            break;
        case Phase::GramsX:
            finished = GramsX(budget);
            break;
        case Phase::GramsY:
            finished = GramsY(budget);
            break;
        case Phase::Automaton:
            finished = m_automaton.Advance(budget);
            if (finished) {
                m_best = m_automaton.Result();
                m_phase = Phase::Done;
            }
            break;
        case Phase::Done:
            return true;
        }
        if (!finished)
            return false;
    }
}

void RunFinder::Offer(std::int32_t x, std::int32_t y, std::int32_t length)
{
    if (length > m_best.length || (length == m_best.length && length > 0 &&
                                   (y < m_best.y || (y == m_best.y && x < m_best.x))))
        m_best = {x, y, length};
}

bool RunFinder::ScanDiagonals(WorkBudget &budget)
{
    // The ranges laid side by side from their starts, then from their ends: each equal stretch
    // is a run.
    const std::int32_t along = std::min(m_xe - m_xs, m_ye - m_ys);
    for (; m_diagonal < 2; ++m_diagonal, m_along = 0) {
        const std::int32_t x0 = m_diagonal == 0 ? m_xs : m_xe - along;
        const std::int32_t y0 = m_diagonal == 0 ? m_ys : m_ye - along;
        if (m_diagonal == 1 && x0 == m_xs && y0 == m_ys)
            break; // ranges of equal length: the same diagonal
        while (m_along < along) {
            if (X(x0 + m_along) == Y(y0 + m_along)) {
                ++m_runLength;
            } else if (m_runLength > 0) {
                Offer(x0 + m_along - m_runLength, y0 + m_along - m_runLength, m_runLength);
                m_runLength = 0;
            }
            ++m_along;
            if (Charge(budget, 1))
                return false;
        }
        if (m_runLength > 0)
            Offer(x0 + along - m_runLength, y0 + along - m_runLength, m_runLength);
        m_runLength = 0;
    }
    const std::int32_t length = m_best.length;
    if (length >= kSampledMinRun)
        StartSampling();
    else if (length >= 1)
        StartCounting(length + 1, false);
    else
        StartAutomaton();
    return true;
}

void RunFinder::StartSampling()
{
    m_method = Method::Sampled;
    const std::int32_t length = m_best.length;
    m_q = std::min(kLongestPiece, length / 2);
    m_step = length - m_q + 1;
    const std::int32_t entries = (m_xe - m_xs - m_q) / m_step + 1;
    // Allocated unwritten: SampleX clears the slots and fills the entries in slices.
    const auto count = static_cast<std::size_t>(entries);
    m_entryHash = std::make_unique_for_overwrite<std::uint64_t[]>(count);
    m_entryPos = std::make_unique_for_overwrite<std::int32_t[]>(count);
    m_entryNext = std::make_unique_for_overwrite<std::int32_t[]>(count);
    m_slotCount = SlotsFor(count);
    m_slots = std::make_unique_for_overwrite<std::int32_t[]>(m_slotCount);
    m_cleared = 0;
    m_covered.clear();
    m_outPower = Power(m_q - 1);
    m_next = entries;
    const std::int64_t tokens = static_cast<std::int64_t>(m_xe - m_xs) + (m_ye - m_ys);
    m_workLimit = m_work + kHitWorkPerToken * tokens + kOpsPerCheck;
    m_mostCovered = static_cast<std::size_t>(tokens / 32) + 1024;
    m_phase = Phase::SampleX;
}

bool RunFinder::SampleX(WorkBudget &budget)
{
    for (; m_cleared < m_slotCount; ++m_cleared) {
        m_slots[m_cleared] = -1;
        if (m_cleared % kOpsPerUnit == 0 && Charge(budget, 1)) {
            ++m_cleared;
            return false;
        }
    }
    // From the last sample to the first, each put at the head of its chain: chains ascend.
    const std::size_t mask = m_slotCount - 1;
    while (m_next > 0) {
        const std::int32_t e = --m_next;
        const std::int32_t p = m_xs + e * m_step;
        const std::uint64_t h = HashPiece(m_x, p, m_q);
        const auto entry = static_cast<std::size_t>(e);
        m_entryHash[entry] = h;
        m_entryPos[entry] = p;
        std::size_t s = Mix(h) & mask;
        while (m_slots[s] >= 0 && m_entryHash[static_cast<std::size_t>(m_slots[s])] != h)
            s = (s + 1) & mask;
        m_entryNext[entry] = m_slots[s];
        m_slots[s] = e;
        if (Charge(budget, m_q))
            return false;
    }
    m_next = m_ys;
    m_rolling = HashPiece(m_y, m_ys, m_q);
    m_phase = Phase::ScanY;
    return true;
}

bool RunFinder::ScanY(WorkBudget &budget)
{
    const std::size_t mask = m_slotCount - 1;
    const std::int32_t last = m_ye - m_q;
    while (m_next <= last) {
        if (m_work > m_workLimit || m_covered.size() > m_mostCovered) {
            // Repetitive: the hits would cost the length times the number of repeats.
            FreeTables();
            StartCounting(m_best.length + 1, false);
            return true;
        }
        const std::int32_t j = m_next;
        std::int64_t ops = 1;
        std::size_t s = Mix(m_rolling) & mask;
        while (m_slots[s] >= 0 && m_entryHash[static_cast<std::size_t>(m_slots[s])] != m_rolling)
            s = (s + 1) & mask;
        for (std::int32_t e = m_slots[s]; e >= 0; e = m_entryNext[static_cast<std::size_t>(e)])
            ops += Hit(m_entryPos[static_cast<std::size_t>(e)], j);
        if (j < last)
            m_rolling = (m_rolling - Symbol(Y(j)) * m_outPower) * kBase + Symbol(Y(j + m_q));
        ++m_next;
        if (Charge(budget, ops))
            return false;
    }
    // Every run at least as long as the diagonal one was met: the best of them is the answer.
    FreeTables();
    m_phase = Phase::Done;
    return true;
}

std::int64_t RunFinder::Hit(std::int32_t p, std::int32_t j)
{
    const auto [covered, added] = m_covered.try_emplace(p - j, -1);
    if (!added && j < covered->second)
        return 1; // inside the run already extended on this diagonal
    std::int32_t back = 0;
    while (p - back > m_xs && j - back > m_ys && X(p - back - 1) == Y(j - back - 1))
        ++back;
    std::int32_t ahead = 0;
    while (p + ahead < m_xe && j + ahead < m_ye && X(p + ahead) == Y(j + ahead))
        ++ahead;
    covered->second = j + ahead;
    if (back + ahead > 0)
        Offer(p - back, j - back, back + ahead);
    return 1 + back + ahead;
}

void RunFinder::StartCounting(std::int32_t length, bool locate)
{
    m_method = Method::Counted;
    if (!locate && ++m_rounds > kMostCountingRounds) {
        StartAutomaton();
        return;
    }
    m_q = length;
    m_locate = locate;
    m_firstHash.assign(kFirstTableSlots, 0);
    m_firstPos.assign(kFirstTableSlots, -1);
    m_firstCount = 0;
    m_outPower = Power(m_q - 1);
    m_next = m_xs;
    m_rolling = m_xe - m_xs >= m_q ? HashPiece(m_x, m_xs, m_q) : 0;
    m_phase = Phase::GramsX;
}

void RunFinder::InsertFirst(std::uint64_t hash, std::int32_t p)
{
    std::size_t mask = m_firstPos.size() - 1;
    std::size_t s = Mix(hash) & mask;
    while (m_firstPos[s] >= 0) {
        if (m_firstHash[s] == hash)
            return; // an earlier position has it
        s = (s + 1) & mask;
    }
    m_firstHash[s] = hash;
    m_firstPos[s] = p;
    if (++m_firstCount * 2 <= m_firstPos.size())
        return;
    // At most kMostCountedPieces entries are ever moved: well within a step.
    std::vector<std::uint64_t> hashes(m_firstHash.size() * 2, 0);
    std::vector<std::int32_t> positions(m_firstPos.size() * 2, -1);
    mask = positions.size() - 1;
    for (std::size_t old = 0; old < m_firstPos.size(); ++old) {
        if (m_firstPos[old] < 0)
            continue;
        std::size_t t = Mix(m_firstHash[old]) & mask;
        while (positions[t] >= 0)
            t = (t + 1) & mask;
        hashes[t] = m_firstHash[old];
        positions[t] = m_firstPos[old];
    }
    m_firstHash.swap(hashes);
    m_firstPos.swap(positions);
}

std::int32_t RunFinder::FindFirst(std::uint64_t hash) const
{
    const std::size_t mask = m_firstPos.size() - 1;
    for (std::size_t s = Mix(hash) & mask; m_firstPos[s] >= 0; s = (s + 1) & mask)
        if (m_firstHash[s] == hash)
            return m_firstPos[s];
    return -1;
}

bool RunFinder::GramsX(WorkBudget &budget)
{
    const std::int32_t last = m_xe - m_q;
    while (m_next <= last) {
        InsertFirst(m_rolling, m_next);
        if (m_firstCount > kMostCountedPieces) {
            StartAutomaton();
            return true;
        }
        if (m_next < last)
            m_rolling =
                (m_rolling - Symbol(X(m_next)) * m_outPower) * kBase + Symbol(X(m_next + m_q));
        ++m_next;
        if (Charge(budget, 1))
            return false;
    }
    m_next = m_ys;
    m_rolling = m_ye - m_ys >= m_q ? HashPiece(m_y, m_ys, m_q) : 0;
    m_phase = Phase::GramsY;
    return true;
}

bool RunFinder::GramsY(WorkBudget &budget)
{
    const std::int32_t last = m_ye - m_q;
    while (m_next <= last) {
        const std::int32_t j = m_next;
        const std::int32_t p = FindFirst(m_rolling);
        if (p >= 0) {
            std::int32_t ahead = 0;
            while (p + ahead < m_xe && j + ahead < m_ye && X(p + ahead) == Y(j + ahead))
                ++ahead;
            if (ahead < m_q || (m_locate && ahead != m_q)) {
                // Two different pieces share a hash: the table's first place is not this
                // piece's. Rare enough to leave to the automaton.
                StartAutomaton();
                return true;
            }
            if (m_locate) {
                // The first piece of y of the longest length, at its first place in x.
                m_best = {p, j, m_q};
                FreeTables();
                m_phase = Phase::Done;
                return true;
            }
            std::int32_t back = 0;
            while (p - back > m_xs && j - back > m_ys && X(p - back - 1) == Y(j - back - 1))
                ++back;
            Charge(budget, ahead + back);
            Offer(p - back, j - back, back + ahead);
            StartCounting(m_best.length + 1, false);
            return true;
        }
        if (j < last)
            m_rolling = (m_rolling - Symbol(Y(j)) * m_outPower) * kBase + Symbol(Y(j + m_q));
        ++m_next;
        if (Charge(budget, 1))
            return false;
    }
    if (m_locate || m_best.length != m_q - 1) {
        // The known run must have been met; never reached.
        StartAutomaton();
        return true;
    }
    // No piece one longer than the best is common: locate the first run of the best length.
    StartCounting(m_q - 1, true);
    return true;
}

void RunFinder::StartAutomaton()
{
    m_method = Method::Automaton;
    FreeTables();
    m_best = {};
    m_automaton.Start(m_x, m_xs, m_xe, m_y, m_ys, m_ye);
    m_phase = Phase::Automaton;
}

void RunFinder::FreeTables()
{
    m_entryHash.reset();
    m_entryPos.reset();
    m_entryNext.reset();
    m_slots.reset();
    m_slotCount = 0;
    std::unordered_map<std::int32_t, std::int32_t>().swap(m_covered);
    std::vector<std::uint64_t>().swap(m_firstHash);
    std::vector<std::int32_t>().swap(m_firstPos);
    m_firstCount = 0;
}

bool RunFinder::Release(WorkBudget &budget)
{
    FreeTables();
    return m_automaton.Release(budget);
}

} // namespace kivo

#include "MaximalAnchors.h"

#include <algorithm>
#include <bit>
#include <cassert>

namespace kivo {

namespace {

// Key bytes hashed per work unit when a left key is looked up.
constexpr std::size_t kKeyBytesPerUnit = 64;
// Changes logged at most (8 bytes each): past this the exact answer would hold too much memory.
constexpr std::size_t kMostChanges = std::size_t{8} << 20;

} // namespace

bool MaximalAnchors::Prepare(const SentenceList &left, std::int32_t rightCount,
                             const AnchorIndex &index, std::int64_t workLimit,
                             IProgress &progress, WorkBudget &budget)
{
    if (!m_started) {
        Clear();
        m_started = true;
        m_nextLeft = static_cast<std::int32_t>(left.size()) - 1;
        m_changes.assign(left.size(), 0);
        m_thresholds.assign(1, rightCount);
    }
    while (m_exact && m_nextLeft >= 0) {
        if (budget.Exhausted())
            return false;
        const auto i = static_cast<std::size_t>(m_nextLeft);
        if (m_occurrence < 0) {
            m_occurrence = index.FirstWithKey(left[i].key);
            const auto units = 1 + static_cast<std::int64_t>(left[i].key.size() / kKeyBytesPerUnit);
            budget.Spend(units);
            m_work += units;
        }
        // Ascending right indices: a threshold raised by one equal sentence is never the one a
        // later (larger) equal sentence builds on, so every raise reads the values before i.
        const std::size_t logged = m_log.size();
        while (m_occurrence >= 0 && !budget.Exhausted()) {
            Raise(m_occurrence);
            m_occurrence = index.NextWithKey(m_occurrence);
            // One binary search over the thresholds.
            const auto units = static_cast<std::int64_t>(std::bit_width(
                static_cast<std::uint32_t>(m_length) + 1));
            budget.Spend(units);
            m_work += units;
        }
        m_changes[i] += static_cast<std::int32_t>(m_log.size() - logged);
        if (m_work > workLimit || m_log.size() > kMostChanges) {
            GiveUp();
            break;
        }
        if (m_occurrence < 0) {
            progress.Step();
            --m_nextLeft;
        }
    }
    m_remaining = m_length;
    return true;
}

void MaximalAnchors::Raise(std::int32_t q)
{
    // k: the number of thresholds above q. q extends a common subsequence of length k - 1 that
    // starts after it, so t[k] becomes at least q.
    const auto end = m_thresholds.begin() + m_length + 1;
    const auto k = static_cast<std::int32_t>(
        std::partition_point(m_thresholds.begin(), end, [q](std::int32_t t) { return t > q; }) -
        m_thresholds.begin());
    assert(k >= 1 && "t[0] is the right count, above every right index");
    if (k > m_length) {
        if (static_cast<std::size_t>(k) == m_thresholds.size())
            m_thresholds.push_back(-1);
        m_log.push_back({k, m_thresholds[static_cast<std::size_t>(k)]});
        m_thresholds[static_cast<std::size_t>(k)] = q;
        m_length = k;
        return;
    }
    std::int32_t &t = m_thresholds[static_cast<std::size_t>(k)];
    if (q > t) {
        m_log.push_back({k, t});
        t = q;
    }
}

bool MaximalAnchors::Keep(std::int32_t i, std::optional<std::int32_t> candidate)
{
    if (!m_exact)
        return candidate.has_value();
    // Take back what left sentence i added: the thresholds are then those of the left sentences
    // from i + 1 on.
    for (std::int32_t n = m_changes[static_cast<std::size_t>(i)]; n > 0; --n) {
        const Change change = m_log.back();
        m_log.pop_back();
        m_thresholds[static_cast<std::size_t>(change.k)] = change.old;
    }
    if (!candidate)
        return false;
    assert(m_remaining >= 1 && "an equal sentence after the last anchor is a common subsequence");
    // Keep unless f(i + 1, candidate + 1) < m_remaining - 1, i.e. f(i + 1, p + 1) stays larger.
    const bool keep = m_remaining <= 1 ||
                      m_thresholds[static_cast<std::size_t>(m_remaining - 1)] >= *candidate + 1;
    if (keep)
        --m_remaining;
    return keep;
}

void MaximalAnchors::GiveUp()
{
    m_exact = false;
    std::deque<Change>().swap(m_log);
    std::vector<std::int32_t>().swap(m_changes);
    std::vector<std::int32_t>().swap(m_thresholds);
    m_length = 0;
}

void MaximalAnchors::Clear()
{
    m_started = false;
    m_exact = true;
    m_nextLeft = -1;
    m_occurrence = -1;
    m_work = 0;
    std::vector<std::int32_t>().swap(m_thresholds);
    m_length = 0;
    std::deque<Change>().swap(m_log);
    std::vector<std::int32_t>().swap(m_changes);
    m_remaining = 0;
}

} // namespace kivo

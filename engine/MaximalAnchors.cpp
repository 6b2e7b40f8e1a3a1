#include "MaximalAnchors.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <tuple>

namespace kivo {

namespace {

// Key bytes hashed per work unit when a key is looked up.
constexpr std::size_t kKeyBytesPerUnit = 64;
// Changes logged at most (8 bytes each): past this the answer would hold too much memory.
constexpr std::size_t kMostChanges = std::size_t{8} << 20;
// Right sentences on each side of the diagonal whose equal pairs the band uses: wide enough for
// the common subsequences of real edits, narrow enough that a few sentences repeated throughout
// cost little.
constexpr std::int64_t kBandHalfWidth = 128;

std::int64_t SearchSteps(std::int64_t length)
{
    return static_cast<std::int64_t>(std::bit_width(static_cast<std::uint64_t>(length) + 1));
}

} // namespace

bool MaximalAnchors::Prepare(const SentenceList &left, const SentenceList &right,
                             const AnchorIndex &index, std::int64_t workLimit,
                             IProgress &progress, WorkBudget &budget)
{
    if (!m_started) {
        Clear();
        m_started = true;
        m_leftCount = static_cast<std::int32_t>(left.size());
        m_rightCount = static_cast<std::int32_t>(right.size());
    }
    switch (m_phase) {
    case Phase::GroupRight:
        if (!GroupStep(right, m_rightGroup, index, budget))
            return false;
        m_phase = Phase::GroupLeft;
        [[fallthrough]];
    case Phase::GroupLeft:
        if (!GroupStep(left, m_leftGroup, index, budget))
            return false;
        m_phase = Phase::Sort;
        [[fallthrough]];
    case Phase::Sort:
        if (budget.Exhausted())
            return false;
        SortByGroup();
        budget.Spend(m_rightCount + m_leftCount);
        m_exact = SweepCost() <= workLimit;
        m_changes.assign(left.size(), 0);
        m_thresholds.assign(1, m_rightCount);
        m_next = m_leftCount - 1;
        m_phase = Phase::Sweep;
        [[fallthrough]];
    case Phase::Sweep:
        if (!SweepStep(progress, budget))
            return false;
        if (m_exact || m_phase == Phase::Ready) {
            m_phase = Phase::Ready;
            return true;
        }
        m_trialKeeps.assign(left.size(), false);
        m_next = 0;
        m_phase = Phase::Trial;
        [[fallthrough]];
    case Phase::Trial:
        if (!TrialStep(progress, budget))
            return false;
        m_phase = Phase::Ready;
        [[fallthrough]];
    case Phase::Ready:
        return true;
    }
    return true;
}

bool MaximalAnchors::GroupStep(const SentenceList &list, std::vector<std::int32_t> &groups,
                               const AnchorIndex &index, WorkBudget &budget)
{
    groups.reserve(list.size());
    while (groups.size() < list.size()) {
        if (budget.Exhausted())
            return false;
        const std::string &key = list[groups.size()].key;
        groups.push_back(index.FirstWithKey(key));
        budget.Spend(1 + static_cast<std::int64_t>(key.size() / kKeyBytesPerUnit));
    }
    return true;
}

void MaximalAnchors::SortByGroup()
{
    // Counting sort by group, right indices ascending within each.
    m_groupStart.assign(static_cast<std::size_t>(m_rightCount) + 1, 0);
    for (const std::int32_t group : m_rightGroup)
        ++m_groupStart[static_cast<std::size_t>(group) + 1];
    for (std::size_t g = 1; g < m_groupStart.size(); ++g)
        m_groupStart[g] += m_groupStart[g - 1];
    std::vector<std::int32_t> fill(m_groupStart.begin(), m_groupStart.end() - 1);
    m_positions.assign(m_rightGroup.size(), 0);
    for (std::size_t j = 0; j < m_rightGroup.size(); ++j)
        m_positions[static_cast<std::size_t>(fill[static_cast<std::size_t>(m_rightGroup[j])]++)] =
            static_cast<std::int32_t>(j);
    std::vector<std::int32_t>().swap(m_rightGroup);
}

std::int64_t MaximalAnchors::SweepCost() const
{
    const std::int64_t steps = SearchSteps(std::min(m_leftCount, m_rightCount));
    std::int64_t pairs = 0;
    for (const std::int32_t group : m_leftGroup)
        if (group >= 0)
            pairs += m_groupStart[static_cast<std::size_t>(group) + 1] -
                     m_groupStart[static_cast<std::size_t>(group)];
    return pairs * steps;
}

std::pair<std::size_t, std::size_t> MaximalAnchors::Occurrences(std::int32_t i) const
{
    const std::int32_t group = m_leftGroup[static_cast<std::size_t>(i)];
    if (group < 0)
        return {0, 0};
    const auto first = m_positions.begin() + m_groupStart[static_cast<std::size_t>(group)];
    const auto last = m_positions.begin() + m_groupStart[static_cast<std::size_t>(group) + 1];
    if (m_exact)
        return {static_cast<std::size_t>(first - m_positions.begin()),
                static_cast<std::size_t>(last - m_positions.begin())};
    // The band around the diagonal point of left sentence i.
    const std::int64_t centre = static_cast<std::int64_t>(i) * m_rightCount /
                                std::max<std::int64_t>(m_leftCount, 1);
    const auto low = static_cast<std::int32_t>(std::max<std::int64_t>(centre - kBandHalfWidth, 0));
    const auto high = static_cast<std::int32_t>(
        std::min<std::int64_t>(centre + kBandHalfWidth, m_rightCount - 1));
    return {static_cast<std::size_t>(std::lower_bound(first, last, low) - m_positions.begin()),
            static_cast<std::size_t>(std::upper_bound(first, last, high) - m_positions.begin())};
}

bool MaximalAnchors::SweepStep(IProgress &progress, WorkBudget &budget)
{
    while (m_next >= 0) {
        if (budget.Exhausted())
            return false;
        if (!m_inSentence) {
            std::tie(m_occurrence, m_occurrenceEnd) = Occurrences(m_next);
            m_inSentence = true;
            budget.Spend(1);
        }
        // Ascending right indices: a threshold raised by one equal sentence is never the one a
        // later (larger) equal sentence builds on, so every raise reads the values before i.
        const std::size_t logged = m_log.size();
        while (m_occurrence < m_occurrenceEnd && !budget.Exhausted()) {
            Raise(m_positions[m_occurrence++]);
            budget.Spend(SearchSteps(m_length));
        }
        m_changes[static_cast<std::size_t>(m_next)] += static_cast<std::int32_t>(m_log.size() - logged);
        if (m_log.size() > kMostChanges) {
            // Too much to hold: the band, or failing that the first-fit anchors.
            std::deque<Change>().swap(m_log);
            m_thresholds.assign(1, m_rightCount);
            m_length = 0;
            std::fill(m_changes.begin(), m_changes.end(), 0);
            m_inSentence = false;
            m_next = m_leftCount - 1;
            if (!m_exact) {
                m_phase = Phase::Ready;
                return true;
            }
            m_exact = false;
            continue;
        }
        if (m_occurrence < m_occurrenceEnd)
            continue; // the budget ran out within this sentence
        progress.Step();
        m_inSentence = false;
        --m_next;
    }
    return true;
}

bool MaximalAnchors::TrialStep(IProgress &progress, WorkBudget &budget)
{
    for (; m_next < m_leftCount; ++m_next) {
        if (budget.Exhausted())
            return false;
        progress.Step();
        TakeBack(m_next);
        if (const auto j = FirstAfter(m_next, m_firstFitPrevious)) {
            ++m_firstFitAnchors;
            m_firstFitPrevious = *j;
        }
        if (const auto j = FirstAfter(m_next, m_trialPrevious)) {
            const bool keep = 1 + CommonFrom(*j + 1) >= CommonFrom(m_trialPrevious + 1);
            m_trialKeeps[static_cast<std::size_t>(m_next)] = keep;
            if (keep) {
                ++m_trialAnchors;
                m_trialPrevious = *j;
            }
        }
        budget.Spend(3 * SearchSteps(m_length));
    }
    m_useTrial = m_trialAnchors >= m_firstFitAnchors;
    std::deque<Change>().swap(m_log);
    return true;
}

std::optional<std::int32_t> MaximalAnchors::FirstAfter(std::int32_t i, std::int32_t p) const
{
    const std::int32_t group = m_leftGroup[static_cast<std::size_t>(i)];
    if (group < 0)
        return std::nullopt;
    const auto last = m_positions.begin() + m_groupStart[static_cast<std::size_t>(group) + 1];
    const auto at =
        std::upper_bound(m_positions.begin() + m_groupStart[static_cast<std::size_t>(group)], last, p);
    if (at == last)
        return std::nullopt;
    return *at;
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
        m_log.push_back({k, -1});
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

void MaximalAnchors::TakeBack(std::int32_t i)
{
    // What left sentence i added: the thresholds are then those of the left sentences from
    // i + 1 on.
    for (std::int32_t n = m_changes[static_cast<std::size_t>(i)]; n > 0; --n) {
        const Change change = m_log.back();
        m_log.pop_back();
        m_thresholds[static_cast<std::size_t>(change.k)] = change.old;
        if (change.old < 0)
            m_length = change.k - 1;
    }
}

std::int32_t MaximalAnchors::CommonFrom(std::int32_t j) const
{
    // f(i + 1, j): the thresholds at or above j (they fall strictly).
    const auto first = m_thresholds.begin() + 1;
    return static_cast<std::int32_t>(
        std::partition_point(first, first + m_length, [j](std::int32_t t) { return t >= j; }) -
        first);
}

bool MaximalAnchors::Keep(std::int32_t i, std::optional<std::int32_t> candidate)
{
    if (!m_exact)
        return m_useTrial ? candidate && m_trialKeeps[static_cast<std::size_t>(i)]
                          : candidate.has_value();
    TakeBack(i);
    if (!candidate)
        return false;
    const bool keep = 1 + CommonFrom(*candidate + 1) >= CommonFrom(m_previous + 1);
    if (keep)
        m_previous = *candidate;
    return keep;
}

void MaximalAnchors::Clear()
{
    *this = MaximalAnchors();
}

} // namespace kivo

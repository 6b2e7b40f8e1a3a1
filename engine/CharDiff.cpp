#include "CharDiff.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

namespace kivo {

namespace {

TextStatus DifferenceStatus(const std::string &leftText, const std::string &rightText)
{
    if (leftText.empty())
        return TextStatus::Added;
    if (rightText.empty())
        return TextStatus::Deleted;
    return TextStatus::Changed;
}

std::int32_t KeyAt(std::span<const std::int32_t> keys, std::int32_t i)
{
    return keys[static_cast<std::size_t>(i)];
}

/// Length of the run of equal keys from x[k] and y[i] (an equal pair) within xe and ye.
std::int32_t RunFrom(std::span<const std::int32_t> x, std::int32_t k, std::int32_t xe,
                     std::span<const std::int32_t> y, std::int32_t i, std::int32_t ye)
{
    std::int32_t length = 1;
    while (k + length < xe && i + length < ye && KeyAt(x, k + length) == KeyAt(y, i + length))
        ++length;
    return length;
}

/// The text of tokens [from, to) of a sentence.
std::string TokenText(std::string_view text, const SentenceTokens &tokens, std::int32_t from,
                      std::int32_t to)
{
    const std::uint32_t begin = tokens.starts[static_cast<std::size_t>(from)];
    const std::uint32_t end = tokens.starts[static_cast<std::size_t>(to)];
    return std::string(text.substr(begin, end - begin));
}

/// The index after the unmatched tokens from index on (matching left their keys >= 0).
std::int32_t SkipUnmatched(const SentenceTokens &tokens, std::int32_t index)
{
    while (index < tokens.Size() && tokens.keys[static_cast<std::size_t>(index)] >= 0)
        ++index;
    return index;
}

} // namespace

void DiffPair(ResultList &results, ResultList::iterator p, const CompareOptions &options,
              IProgress &progress, const EngineThresholds &thresholds)
{
    WorkBudget unlimited = WorkBudget::Unlimited();
    PairDiffer(results, p, options, progress, thresholds).Run(unlimited);
}

RunMatcher::RunMatcher(std::span<std::int32_t> xKeys, std::span<std::int32_t> yKeys,
                       const EngineThresholds &thresholds, IProgress &progress, TokenRanges first)
    : m_xKeys(xKeys), m_yKeys(yKeys), m_thresholds(thresholds),
      m_progress(progress), m_pending{first}, m_exactLimit(thresholds.exactRunWorkFloor)
{}

bool RunMatcher::PastExactLimit() const
{
    return m_searched > m_exactLimit + m_thresholds.exactRunWorkPerMatch * m_matched;
}

bool RunMatcher::Run(WorkBudget &budget)
{
    // A work stack instead of recursion, in the same order: a common run can nest as deep as the
    // shorter sentence has tokens.
    for (;;) {
        if (m_editing)
            return RunEditScript(budget);
        if (m_searching) {
            if (!m_search.Advance(budget))
                return false;
            const TokenRanges r = *m_searching;
            m_searching.reset();
            Take(r, m_search.Result(), budget);
            continue;
        }
        if (m_pending.empty())
            return m_search.Release(budget); // a long sentence's index is freed in slices too
        if (budget.Exhausted())
            return false;
        if (PastExactLimit()) {
            StartEditScript();
            continue;
        }
        const TokenRanges r = m_pending.back();
        m_pending.pop_back();
        if (r.xs >= r.xe || r.ys >= r.ye) {
            m_first = false;
            continue;
        }
        m_progress.Step();
        m_searched += static_cast<std::int64_t>(r.xe - r.xs) + (r.ye - r.ys);
        const std::int64_t cells =
            static_cast<std::int64_t>(r.xe - r.xs) * static_cast<std::int64_t>(r.ye - r.ys);
        if (cells <= m_thresholds.directRunCells) {
            budget.Spend(cells);
            Take(r, DirectRun(r), budget);
        } else {
            m_search.Start(m_xKeys, r.xs, r.xe, m_yKeys, r.ys, r.ye, m_thresholds.gramSearchTokens);
            m_searching = r;
        }
    }
}

CommonRun RunMatcher::DirectRun(const TokenRanges &r) const
{
    // Every start in Y against every start in X: only a strictly longer run replaces the best,
    // so the first in Y, then the first in X, wins a tie.
    CommonRun best;
    for (std::int32_t i = r.ys; i < r.ye; ++i) {
        const std::int32_t key = KeyAt(m_yKeys, i);
        for (std::int32_t k = r.xs; k < r.xe; ++k) {
            if (KeyAt(m_xKeys, k) != key)
                continue;
            const std::int32_t length = RunFrom(m_xKeys, k, r.xe, m_yKeys, i, r.ye);
            if (length > best.length)
                best = {k, i, length};
        }
    }
    return best;
}

void RunMatcher::Take(const TokenRanges &r, const CommonRun &run, WorkBudget &budget)
{
    if (m_first) {
        m_foundInFirst = run.length > 0;
        m_first = false;
    }
    if (run.length == 0)
        return;
    Mark(run);
    budget.Spend(1);
    m_matched += 2 * static_cast<std::int64_t>(run.length);
    m_pending.push_back({r.xs, run.x, r.ys, run.y});
    m_pending.push_back({run.x + run.length, r.xe, run.y + run.length, r.ye});
}

void RunMatcher::Mark(const CommonRun &run)
{
    m_xKeys[static_cast<std::size_t>(run.x)] = -run.length;
    m_yKeys[static_cast<std::size_t>(run.y)] = -run.length;
}

void RunMatcher::StartEditScript()
{
    std::vector<std::array<std::int32_t, 4>> ranges;
    for (const TokenRanges &r : m_pending)
        if (r.xs < r.xe || r.ys < r.ye)
            ranges.push_back({r.xs, r.xe, r.ys, r.ye});
    m_pending.clear();
    m_edits.Start(m_xKeys, m_yKeys, ranges);
    m_editing = true;
}

bool RunMatcher::RunEditScript(WorkBudget &budget)
{
    // The runs of a call lie in boxes already searched, which are never read again.
    const bool done = m_edits.Run(budget, m_editRuns);
    for (const CommonRun &run : m_editRuns)
        Mark(run);
    budget.Spend(static_cast<std::int64_t>(m_editRuns.size()));
    m_editRuns.clear();
    return done && m_search.Release(budget);
}

PairDiffer::PairDiffer(ResultList &results, ResultList::iterator p, const CompareOptions &options,
                       IProgress &progress, const EngineThresholds &thresholds)
    : m_results(results), m_p(p), m_options(options), m_progress(progress),
      m_thresholds(thresholds), m_keyTable(options)
{
    m_progress.Step();
}

bool PairDiffer::Cut(SentenceTokens &tokens, std::string_view text, WorkBudget &budget)
{
    if (!m_cutter)
        m_cutter.emplace(text, m_keyTable, m_options.CmpChar != 0);
    if (!m_cutter->Cut(tokens, budget))
        return false;
    m_cutter.reset();
    return true;
}

void PairDiffer::Insert(TextStatus status, std::string leftText, std::string rightText)
{
    m_results.insert(m_p, ResultPair{m_p->leftIndex, m_p->rightIndex, status, 0,
                                     std::move(leftText), std::move(rightText)});
}

bool PairDiffer::Build(WorkBudget &budget)
{
    // Alternately the unmatched tokens of both sides (a difference, when either has any) and the
    // next common run of each; the k-th run of one side is the k-th of the other, as runs never
    // cross.
    const std::string_view leftText = m_p->leftText;
    const std::string_view rightText = m_p->rightText;
    while (m_il < m_L.Size() || m_ir < m_R.Size()) {
        if (budget.Exhausted())
            return false;
        const std::int32_t tokensBefore = m_il + m_ir;
        const std::int32_t leftEnd = SkipUnmatched(m_L, m_il);
        const std::int32_t rightEnd = SkipUnmatched(m_R, m_ir);
        std::string left = TokenText(leftText, m_L, m_il, leftEnd);
        std::string right = TokenText(rightText, m_R, m_ir, rightEnd);
        m_il = leftEnd;
        m_ir = rightEnd;
        if (!left.empty() || !right.empty()) {
            const TextStatus status = DifferenceStatus(left, right);
            Insert(status, std::move(left), std::move(right));
        }
        const auto runEnd = [](const SentenceTokens &tokens, std::int32_t index) {
            return index < tokens.Size() ? index - tokens.keys[static_cast<std::size_t>(index)]
                                         : index;
        };
        const std::int32_t leftRunEnd = runEnd(m_L, m_il);
        const std::int32_t rightRunEnd = runEnd(m_R, m_ir);
        left = TokenText(leftText, m_L, m_il, leftRunEnd);
        right = TokenText(rightText, m_R, m_ir, rightRunEnd);
        m_il = leftRunEnd;
        m_ir = rightRunEnd;
        if (!left.empty() || !right.empty())
            Insert(TextStatus::Same, std::move(left), std::move(right));
        budget.Spend(1 + m_il + m_ir - tokensBefore);
    }
    m_p->status = TextStatus::Original;
    m_p->leftText.clear();
    m_p->rightText.clear();
    return true;
}

bool PairDiffer::Run(WorkBudget &budget)
{
    switch (m_phase) {
    case Phase::CutLeft:
        if (!Cut(m_L, m_p->leftText, budget))
            return false;
        m_phase = Phase::CutRight;
        [[fallthrough]];
    case Phase::CutRight: {
        if (!Cut(m_R, m_p->rightText, budget))
            return false;
        m_keyTable.Clear(); // the keys are numbered: their strings go
        // X is the list with more tokens (the right one on equal counts); Y is scanned outside.
        const bool leftIsX = m_L.Size() > m_R.Size();
        SentenceTokens &X = leftIsX ? m_L : m_R;
        SentenceTokens &Y = leftIsX ? m_R : m_L;
        m_matcher.emplace(X.keys, Y.keys, m_thresholds, m_progress,
                          TokenRanges{0, X.Size(), 0, Y.Size()});
        m_phase = Phase::Match;
        [[fallthrough]];
    }
    case Phase::Match:
        if (!m_matcher->Run(budget))
            return false;
        m_usedEditScript = m_matcher->UsedEditScript();
        m_phase = m_matcher->FoundInFirst() ? Phase::Build : Phase::Free;
        m_matcher.reset();
        if (m_phase == Phase::Free)
            return Run(budget);
        [[fallthrough]];
    case Phase::Build:
        if (!Build(budget))
            return false;
        m_phase = Phase::Free;
        [[fallthrough]];
    case Phase::Free:
        // Two flat lists per side: given back whole, a few pages' worth of bookkeeping each.
        m_L = {};
        m_R = {};
        return true;
    }
    return true;
}

} // namespace kivo

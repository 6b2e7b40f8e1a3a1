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

// Tokens walked between two looks at the budget while the records are built.
constexpr std::int32_t kTokensWalkedPerSlice = 4096;

/// The index after the unmatched tokens from index on (matching left their keys >= 0).
std::int32_t SkipUnmatched(const SentenceTokens &tokens, std::int32_t index)
{
    while (index < tokens.Size() && tokens.keys[static_cast<std::size_t>(index)] >= 0)
        ++index;
    return index;
}

/// Length of the common run that starts at index (matching marked it there); 0 at the end.
std::int32_t RunLength(const SentenceTokens &tokens, std::int32_t index)
{
    return index < tokens.Size() ? -tokens.keys[static_cast<std::size_t>(index)] : 0;
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
    // cross. The texts are walked a slice of tokens at a time: a run can be millions long.
    const std::string_view leftText = m_p->leftText;
    const std::string_view rightText = m_p->rightText;
    if (!m_leftWalker) {
        m_leftWalker.emplace(leftText, m_keyTable, m_options.CmpChar != 0);
        m_rightWalker.emplace(rightText, m_keyTable, m_options.CmpChar != 0);
    }
    const auto walk = [&budget](SentenceCutter &walker, std::int32_t &index, std::int32_t end) {
        while (index < end) {
            if (budget.Exhausted())
                return false;
            const std::int32_t slice = std::min(end - index, kTokensWalkedPerSlice);
            walker.Walk(slice);
            index += slice;
            budget.Spend(slice);
        }
        return true;
    };
    for (;;) {
        if (!m_inPart) {
            if (m_il >= m_L.Size() && m_ir >= m_R.Size() && !m_inRun)
                break;
            if (budget.Exhausted())
                return false;
            m_leftPartEnd = m_inRun ? m_il + RunLength(m_L, m_il) : SkipUnmatched(m_L, m_il);
            m_rightPartEnd = m_inRun ? m_ir + RunLength(m_R, m_ir) : SkipUnmatched(m_R, m_ir);
            m_leftFrom = m_leftWalker->Position();
            m_rightFrom = m_rightWalker->Position();
            m_inPart = true;
            budget.Spend(1);
        }
        if (!walk(*m_leftWalker, m_il, m_leftPartEnd) ||
            !walk(*m_rightWalker, m_ir, m_rightPartEnd))
            return false;
        std::string left(leftText.substr(m_leftFrom, m_leftWalker->Position() - m_leftFrom));
        std::string right(rightText.substr(m_rightFrom, m_rightWalker->Position() - m_rightFrom));
        if (!left.empty() || !right.empty()) {
            const TextStatus status = m_inRun ? TextStatus::Same : DifferenceStatus(left, right);
            Insert(status, std::move(left), std::move(right));
        }
        m_inPart = false;
        m_inRun = !m_inRun;
    }
    m_leftWalker.reset();
    m_rightWalker.reset();
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
        // One flat list per side: given back whole, a few pages' worth of bookkeeping each.
        m_L = {};
        m_R = {};
        m_keyTable.Clear();
        return true;
    }
    return true;
}

} // namespace kivo

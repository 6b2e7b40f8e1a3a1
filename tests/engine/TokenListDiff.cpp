#include "TokenListDiff.h"
#include "ListSize.h"

#include <algorithm>
#include <cassert>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

namespace {

const Token &At(const TokenList &list, std::int32_t index)
{
    return list[static_cast<std::size_t>(index)];
}

Token &At(TokenList &list, std::int32_t index)
{
    return list[static_cast<std::size_t>(index)];
}

TextStatus DifferenceStatus(const std::string &leftText, const std::string &rightText)
{
    if (leftText.empty())
        return TextStatus::Added;
    if (rightText.empty())
        return TextStatus::Deleted;
    return TextStatus::Changed;
}

} // namespace

void TokenListDiffPair(ResultList &results, ResultList::iterator p, const CompareOptions &options,
                       IProgress &progress, const EngineThresholds &thresholds)
{
    WorkBudget unlimited = WorkBudget::Unlimited();
    TokenListPairDiffer(results, p, options, progress, thresholds).Run(unlimited);
}

bool CommonRuns(TokenList &X, std::int32_t xs, std::int32_t xe, TokenList &Y, std::int32_t ys,
                std::int32_t ye, IProgress &progress, const EngineThresholds &thresholds)
{
    const KeyNumbers keys = NumberKeys(X, Y);
    TokenRunMatcher matcher(X, keys.x, Y, keys.y, thresholds, progress, {xs, xe, ys, ye});
    WorkBudget unlimited = WorkBudget::Unlimited();
    matcher.Run(unlimited);
    return matcher.FoundInFirst();
}

KeyNumbers NumberKeys(const TokenList &X, const TokenList &Y)
{
    KeyNumberer numberer;
    KeyNumbers keys;
    WorkBudget unlimited = WorkBudget::Unlimited();
    numberer.Number(X, keys.x, unlimited);
    numberer.Number(Y, keys.y, unlimited);
    return keys;
}

bool KeyNumberer::Number(const TokenList &list, std::vector<std::int32_t> &numbers,
                         WorkBudget &budget)
{
    numbers.reserve(list.size());
    while (numbers.size() < list.size()) {
        if (budget.Exhausted())
            return false;
        const Token &token = list[numbers.size()];
        numbers.push_back(
            m_numbers.try_emplace(token.key, static_cast<std::int32_t>(m_numbers.size()))
                .first->second);
        budget.Spend(1);
    }
    return true;
}

TokenRunMatcher::TokenRunMatcher(TokenList &X, std::span<const std::int32_t> xKeys, TokenList &Y,
                                 std::span<const std::int32_t> yKeys,
                                 const EngineThresholds &thresholds, IProgress &progress,
                                 TokenRanges first)
    : m_X(X), m_Y(Y), m_xKeys(xKeys), m_yKeys(yKeys), m_thresholds(thresholds),
      m_progress(progress), m_pending{first}, m_exactLimit(thresholds.exactRunWorkFloor)
{}

bool TokenRunMatcher::PastExactLimit() const
{
    return m_searched > m_exactLimit + m_thresholds.exactRunWorkPerMatch * m_matched;
}

bool TokenRunMatcher::Run(WorkBudget &budget)
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
            m_search.Start(m_xKeys, r.xs, r.xe, m_yKeys, r.ys, r.ye);
            m_searching = r;
        }
    }
}

CommonRun TokenRunMatcher::DirectRun(const TokenRanges &r)
{
    for (std::int32_t i = r.ys; i < r.ye; ++i) {
        Token &y = At(m_Y, i);
        y.matchStart = -1;
        y.matchLength = 0;
        LongestRunAt(m_xKeys, r.xs, r.xe, m_yKeys, i, r.ye, y);
    }
    const std::int32_t b = PickLongestRun(m_Y, r.ys, r.ye);
    if (b < 0)
        return {};
    return {At(m_Y, b).matchStart, b, At(m_Y, b).matchLength};
}

void TokenRunMatcher::Take(const TokenRanges &r, const CommonRun &run, WorkBudget &budget)
{
    if (m_first) {
        m_foundInFirst = run.length > 0;
        m_first = false;
    }
    if (run.length == 0)
        return;
    Merge(run, budget);
    m_matched += 2 * static_cast<std::int64_t>(run.length);
    // Merging leaves the folded tokens in place, so the part after the run starts past them.
    m_pending.push_back({r.xs, run.x, r.ys, run.y});
    m_pending.push_back({run.x + run.length, r.xe, run.y + run.length, r.ye});
}

void TokenRunMatcher::Merge(const CommonRun &run, WorkBudget &budget)
{
    Token &y = At(m_Y, run.y);
    y.matchStart = run.x;
    y.matchLength = run.length;
    MergeRun(m_Y, run.y, run.length);
    MergeRun(m_X, run.x, run.length);
    budget.Spend(run.length);
}

void TokenRunMatcher::StartEditScript()
{
    // The ranges hold no folded tokens, so positions in them are positions in the key numbers.
    std::vector<std::array<std::int32_t, 4>> ranges;
    for (const TokenRanges &r : m_pending)
        if (r.xs < r.xe || r.ys < r.ye)
            ranges.push_back({r.xs, r.xe, r.ys, r.ye});
    m_pending.clear();
    m_edits.Start(m_xKeys, m_yKeys, ranges);
    m_editing = true;
}

bool TokenRunMatcher::RunEditScript(WorkBudget &budget)
{
    const bool done = m_edits.Run(budget, m_editRuns);
    for (const CommonRun &run : m_editRuns)
        Merge(run, budget);
    m_editRuns.clear();
    return done && m_search.Release(budget);
}

TokenListPairDiffer::TokenListPairDiffer(ResultList &results, ResultList::iterator p,
                                         const CompareOptions &options, IProgress &progress,
                                         const EngineThresholds &thresholds)
    : m_results(results), m_p(p), m_options(options), m_progress(progress), m_thresholds(thresholds)
{
    m_progress.Step();
}

bool TokenListPairDiffer::Cut(TokenList &list, std::int32_t &count, WorkBudget &budget)
{
    if (!m_cutter)
        m_cutter.emplace(&list == &m_L ? m_p->leftText : m_p->rightText, m_options);
    if (!m_cutter->Cut(list, count, budget))
        return false;
    m_cutter.reset();
    return true;
}

bool TokenListPairDiffer::Compact(WorkBudget &budget)
{
    // DropFoldedTokens in slices: the unfolded tokens move down in order.
    TokenList &list = m_compactedLeft ? m_R : m_L;
    for (; m_compactRead < list.size(); ++m_compactRead) {
        if (budget.Exhausted())
            return false;
        budget.Spend(1);
        if (list[m_compactRead].folded)
            continue;
        if (m_compactWrite != m_compactRead)
            list[m_compactWrite] = std::move(list[m_compactRead]);
        ++m_compactWrite;
    }
    // The moved-from tail goes token by token too: millions of them are a long step at once.
    while (list.size() > m_compactWrite) {
        if (budget.Exhausted())
            return false;
        list.pop_back();
        budget.Spend(1);
    }
    m_compactRead = 0;
    m_compactWrite = 0;
    if (m_compactedLeft)
        return true;
    m_compactedLeft = true;
    return Compact(budget);
}

bool TokenListPairDiffer::Run(WorkBudget &budget)
{
    switch (m_phase) {
    case Phase::CutLeft:
        if (!Cut(m_L, m_nL, budget))
            return false;
        m_phase = Phase::CutRight;
        [[fallthrough]];
    case Phase::CutRight:
        if (!Cut(m_R, m_nR, budget))
            return false;
        m_phase = Phase::NumberLeft;
        [[fallthrough]];
    case Phase::NumberLeft:
        if (!m_numberer.Number(m_L, m_keysL, budget))
            return false;
        m_phase = Phase::NumberRight;
        [[fallthrough]];
    case Phase::NumberRight: {
        if (!m_numberer.Number(m_R, m_keysR, budget))
            return false;
        m_numberer = {};
        // X is the list with more tokens (the right one on equal counts); Y is scanned outside.
        const bool leftIsX = m_nL > m_nR;
        TokenList &X = leftIsX ? m_L : m_R;
        TokenList &Y = leftIsX ? m_R : m_L;
        m_matcher.emplace(X, leftIsX ? m_keysL : m_keysR, Y, leftIsX ? m_keysR : m_keysL,
                          m_thresholds, m_progress, TokenRanges{0, Size(X), 0, Size(Y)});
        m_phase = Phase::Match;
        [[fallthrough]];
    }
    case Phase::Match:
        if (!m_matcher->Run(budget))
            return false;
        m_usedEditScript = m_matcher->UsedEditScript();
        m_phase = m_matcher->FoundInFirst() ? Phase::Compact : Phase::Free;
        m_matcher.reset();
        std::vector<std::int32_t>().swap(m_keysL);
        std::vector<std::int32_t>().swap(m_keysR);
        if (m_phase == Phase::Free)
            return Run(budget);
        [[fallthrough]];
    case Phase::Compact:
        if (!Compact(budget))
            return false;
        m_builder.emplace(m_results, m_p, m_L, m_R);
        m_phase = Phase::Build;
        [[fallthrough]];
    case Phase::Build:
        if (!m_builder->Run(budget))
            return false;
        m_builder.reset();
        m_phase = Phase::Free;
        [[fallthrough]];
    case Phase::Free:
        // Tokens one by one, so that freeing millions of them is cut into slices too.
        for (TokenList *list : {&m_L, &m_R}) {
            while (!list->empty()) {
                if (budget.Exhausted()) {
                    SettleFreedBlocks();
                    return false;
                }
                list->pop_back();
                budget.Spend(1);
            }
        }
        TokenList().swap(m_L);
        TokenList().swap(m_R);
        return true;
    }
    return true;
}

void LongestRunAt(std::span<const std::int32_t> xKeys, std::int32_t xs, std::int32_t xe,
                  std::span<const std::int32_t> yKeys, std::int32_t i, std::int32_t ye, Token &y)
{
    const std::int32_t key = yKeys[static_cast<std::size_t>(i)];
    for (std::int32_t k = xs; k < xe; ++k) {
        if (xKeys[static_cast<std::size_t>(k)] != key)
            continue;
        const std::int32_t d = RunLength(xKeys, k, xe - k - 1, yKeys, i, ye - i - 1);
        if (d > y.matchLength) {
            y.matchStart = k;
            y.matchLength = d;
        }
    }
}

std::int32_t RunLength(std::span<const std::int32_t> xKeys, std::int32_t k, std::int32_t remainingX,
                       std::span<const std::int32_t> yKeys, std::int32_t i, std::int32_t remainingY)
{
    const auto xSize = static_cast<std::int32_t>(xKeys.size());
    const auto ySize = static_cast<std::int32_t>(yKeys.size());
    std::int32_t length = 1;
    while (remainingX > 0 && remainingY > 0 && k + 1 < xSize && i + 1 < ySize) {
        ++k;
        ++i;
        --remainingX;
        --remainingY;
        if (xKeys[static_cast<std::size_t>(k)] != yKeys[static_cast<std::size_t>(i)])
            break;
        ++length;
    }
    return length;
}

std::int32_t PickLongestRun(const TokenList &Y, std::int32_t ys, std::int32_t ye)
{
    std::int32_t best = -1;
    std::int32_t bestLength = 0;
    for (std::int32_t i = ys; i < ye; ++i) {
        if (At(Y, i).matchLength > bestLength) {
            best = i;
            bestLength = At(Y, i).matchLength;
        }
    }
    return best;
}

void MergeRun(TokenList &list, std::int32_t index, std::int32_t length)
{
    if (index < 0 || index >= Size(list))
        return;
    Token &first = At(list, index);
    std::int32_t next = index + 1;
    for (std::int32_t taken = 1; taken < length && next < Size(list); ++next) {
        Token &token = At(list, next);
        if (token.folded)
            continue;
        first.text += token.text;
        token.text.clear();
        token.folded = true;
        ++taken;
    }
    first.status = TextStatus::Same;
}

void DropFoldedTokens(TokenList &list)
{
    std::erase_if(list, [](const Token &token) { return token.folded; });
}

void BuildRuns(ResultList &results, ResultList::iterator p, const TokenList &L, const TokenList &R)
{
    WorkBudget unlimited = WorkBudget::Unlimited();
    RunBuilder(results, p, L, R).Run(unlimited);
}

void RunBuilder::Insert(TextStatus status, std::string leftText, std::string rightText)
{
    m_results.insert(m_p, ResultPair{m_p->leftIndex, m_p->rightIndex, status, 0,
                                     std::move(leftText), std::move(rightText)});
}

bool RunBuilder::Run(WorkBudget &budget)
{
    while (m_il >= 0 || m_ir >= 0) {
        if (budget.Exhausted())
            return false;
        const std::int32_t tokensBefore = std::max(m_il, 0) + std::max(m_ir, 0);
        CollectedRun left = CollectRun(m_L, m_il, TextStatus::Changed);
        CollectedRun right = CollectRun(m_R, m_ir, TextStatus::Changed);
        m_il = left.next;
        m_ir = right.next;
        if (!left.text.empty() || !right.text.empty()) {
            const TextStatus status = DifferenceStatus(left.text, right.text);
            Insert(status, std::move(left.text), std::move(right.text));
        }

        left = CollectRun(m_L, m_il, TextStatus::Same);
        right = CollectRun(m_R, m_ir, TextStatus::Same);
        m_il = left.next;
        m_ir = right.next;
        if (!left.text.empty() || !right.text.empty())
            Insert(TextStatus::Same, std::move(left.text), std::move(right.text));
        budget.Spend(1 + std::max(std::max(m_il, 0) + std::max(m_ir, 0) - tokensBefore, 0));
    }
    m_p->status = TextStatus::Original;
    m_p->leftText.clear();
    m_p->rightText.clear();
    return true;
}

CollectedRun CollectRun(const TokenList &list, std::int32_t index, TextStatus wanted)
{
    CollectedRun run;
    run.next = index;
    if (index < 0)
        return run;
    if (index >= Size(list)) {
        run.next = -1;
        return run;
    }
    while (run.next < Size(list) && At(list, run.next).status == wanted) {
        assert(!At(list, run.next).folded && "folded tokens are dropped before runs are built");
        run.text += At(list, run.next).text;
        ++run.next;
        if (wanted == TextStatus::Same)
            break; // a merged common run is one token
    }
    return run;
}

} // namespace kivo

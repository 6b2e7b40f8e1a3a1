#include "CharDiff.h"

#include <cassert>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

namespace {

std::int32_t Size(const TokenList &list)
{
    return static_cast<std::int32_t>(list.size());
}

const Token &At(const TokenList &list, std::int32_t index)
{
    return list[static_cast<std::size_t>(index)];
}

Token &At(TokenList &list, std::int32_t index)
{
    return list[static_cast<std::size_t>(index)];
}

/// A pair of token ranges still to be searched for a common run.
struct Ranges {
    std::int32_t xs, xe, ys, ye;
};

/// One level of CommonRuns: finds and merges the longest common run of r, and queues the part
/// before it and, above that, the part after it, so that the part after is searched first.
bool MatchLongestRun(TokenList &X, TokenList &Y, const KeyNumbers &keys, const Ranges &r,
                     std::vector<Ranges> &pending, IProgress &progress)
{
    if (r.xs >= r.xe || r.ys >= r.ye)
        return false;
    progress.Step();
    for (std::int32_t i = r.ys; i < r.ye; ++i) {
        Token &y = At(Y, i);
        y.matchStart = -1;
        y.matchLength = 0;
        LongestRunAt(keys.x, r.xs, r.xe, keys.y, i, r.ye, y);
    }
    const std::int32_t b = PickLongestRun(Y, r.ys, r.ye);
    if (b < 0)
        return false;
    const std::int32_t length = At(Y, b).matchLength;
    const std::int32_t k = At(Y, b).matchStart;
    MergeRun(Y, b, length);
    MergeRun(X, k, length);
    pending.push_back({r.xs, k, r.ys, b});
    pending.push_back({k + length, r.xe, b + length, r.ye});
    return true;
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

void DiffPair(ResultList &results, ResultList::iterator p, const RichOptions &options,
              IProgress &progress)
{
    progress.Step();
    TokenList L;
    TokenList R;
    const std::int32_t nL = CutTokens(L, p->leftText, options);
    const std::int32_t nR = CutTokens(R, p->rightText, options);
    // X is the list with more tokens (the right one on equal counts); Y is scanned outside.
    TokenList &X = nL > nR ? L : R;
    TokenList &Y = nL > nR ? R : L;
    if (!CommonRuns(X, 0, Size(X), Y, 0, Size(Y), progress))
        return;
    DropFoldedTokens(L);
    DropFoldedTokens(R);
    BuildRuns(results, p, L, R);
}

bool CommonRuns(TokenList &X, std::int32_t xs, std::int32_t xe, TokenList &Y, std::int32_t ys,
                std::int32_t ye, IProgress &progress)
{
    // A work stack instead of recursion, in the same order: a common run can nest as deep as the
    // shorter sentence has tokens.
    const KeyNumbers keys = NumberKeys(X, Y);
    std::vector<Ranges> pending;
    const bool found = MatchLongestRun(X, Y, keys, {xs, xe, ys, ye}, pending, progress);
    while (!pending.empty()) {
        const Ranges r = pending.back();
        pending.pop_back();
        MatchLongestRun(X, Y, keys, r, pending, progress);
    }
    return found;
}

KeyNumbers NumberKeys(const TokenList &X, const TokenList &Y)
{
    std::unordered_map<std::string_view, std::int32_t> numbers;
    const auto number = [&](const TokenList &list) {
        std::vector<std::int32_t> result;
        result.reserve(list.size());
        for (const Token &token : list)
            result.push_back(
                numbers.try_emplace(token.key, static_cast<std::int32_t>(numbers.size()))
                    .first->second);
        return result;
    };
    KeyNumbers keys;
    keys.x = number(X);
    keys.y = number(Y);
    return keys;
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
    const auto insertRun = [&](TextStatus status, std::string leftText, std::string rightText) {
        results.insert(p, ResultPair{p->leftIndex, p->rightIndex, status, 0, std::move(leftText),
                                     std::move(rightText)});
    };
    std::int32_t il = 0;
    std::int32_t ir = 0;
    while (il >= 0 || ir >= 0) {
        CollectedRun left = CollectRun(L, il, TextStatus::Changed);
        CollectedRun right = CollectRun(R, ir, TextStatus::Changed);
        il = left.next;
        ir = right.next;
        if (!left.text.empty() || !right.text.empty()) {
            const TextStatus status = DifferenceStatus(left.text, right.text);
            insertRun(status, std::move(left.text), std::move(right.text));
        }

        left = CollectRun(L, il, TextStatus::Same);
        right = CollectRun(R, ir, TextStatus::Same);
        il = left.next;
        ir = right.next;
        if (!left.text.empty() || !right.text.empty())
            insertRun(TextStatus::Same, std::move(left.text), std::move(right.text));
    }
    p->status = TextStatus::Original;
    p->leftText.clear();
    p->rightText.clear();
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

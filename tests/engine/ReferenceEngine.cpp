#include "ReferenceEngine.h"

#include "Cp932.h"
#include "Splitter.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <vector>

namespace kivo::test {

void ReferenceDiffPair(ResultList &results, ResultList::iterator p, const CompareOptions &options)
{
    TokenList L, R;
    CutTokens(L, p->leftText, options);
    CutTokens(R, p->rightText, options);
    ListMatcher::List left(L.begin(), L.end()), right(R.begin(), R.end());
    ListMatcher::List &X = L.size() > R.size() ? left : right;
    ListMatcher::List &Y = L.size() > R.size() ? right : left;
    ListMatcher::Common(X, 0, static_cast<std::int32_t>(X.size()), Y, 0,
                        static_cast<std::int32_t>(Y.size()));
    bool matched = false;
    for (const Token &token : Y)
        matched = matched || token.status == TextStatus::Same;
    if (matched)
        BuildRuns(results, p, TokenList(left.begin(), left.end()),
                  TokenList(right.begin(), right.end()));
}

bool ReferenceContains(std::string_view text, std::string_view word)
{
    std::vector<std::size_t> boundaries;
    for (std::size_t pos = 0; pos < text.size(); pos = cp932::NextChar(text, pos))
        boundaries.push_back(pos);
    boundaries.push_back(text.size());
    // At every character start, the word's bytes, ending on a character boundary.
    for (const std::size_t start : boundaries)
        if (text.substr(start).starts_with(word) &&
            std::binary_search(boundaries.begin(), boundaries.end(), start + word.size()))
            return !word.empty();
    return false;
}

std::uint32_t ReferenceScore(std::string_view searchIn, std::string_view split, std::uint32_t words,
                             std::uint32_t bound)
{
    // The word runs of split, each with whether a class change (not the end) closed it.
    std::vector<std::pair<std::string_view, bool>> runs;
    std::size_t start = 0;
    std::optional<CharKind> cls;
    for (std::size_t pos = 0; pos <= split.size();) {
        const std::size_t next = cp932::NextChar(split, pos);
        const std::optional<CharKind> here =
            pos < split.size() ? std::optional(CharClass(split.substr(pos, next - pos)))
                               : std::nullopt;
        if (pos > 0 && here != cls) {
            if (IsWordClass(*cls))
                runs.emplace_back(split.substr(start, pos - start), pos < split.size());
            start = pos;
        }
        cls = here;
        if (pos == split.size())
            break;
        pos = next;
    }
    for (const auto &[word, closedByChange] : runs) {
        if (ReferenceContains(searchIn, word))
            --words;
        else if (closedByChange && bound-- == 0)
            return words;
    }
    return words;
}

std::optional<std::pair<std::int32_t, std::int32_t>>
ReferenceBestPair(SentenceList &left, SentenceList &right, std::int32_t a, std::int32_t b,
                  std::int32_t c, std::int32_t d)
{
    // Every pair scored in full: the first of score 0 in scan order wins, else the lowest
    // score, then the most words, then the lowest left and right index.
    std::optional<std::tuple<std::uint32_t, std::int64_t, std::int32_t, std::int32_t>> best;
    for (std::int32_t i = a + 1; i < b; ++i) {
        for (std::int32_t j = c + 1; j < d; ++j) {
            Sentence &l = left[static_cast<std::size_t>(i)];
            Sentence &r = right[static_cast<std::size_t>(j)];
            const bool splitRight = WordCount(l) < WordCount(r);
            const std::uint32_t words = splitRight ? WordCount(r) : WordCount(l);
            const std::uint32_t score = splitRight ? ReferenceScore(l.key, r.key, words, words)
                                                   : ReferenceScore(r.key, l.key, words, words);
            if (score == 0)
                return std::pair{i, j};
            const auto candidate = std::tuple{score, -static_cast<std::int64_t>(words), i, j};
            if (!best || candidate < *best)
                best = candidate;
        }
    }
    if (!best)
        return std::nullopt;
    return std::pair{std::get<2>(*best), std::get<3>(*best)};
}

void ReferenceAlignGap(AlignmentLists &lists, ResultList::iterator before, std::int32_t a,
                       std::int32_t b, std::int32_t c, std::int32_t d)
{
    while (b - a > 1 && d - c > 1) {
        const auto pair = ReferenceBestPair(lists.left, lists.right, a, b, c, d);
        const auto [i, j] = *pair;
        const auto q =
            lists.results.insert(before, ResultPair{i, j, TextStatus::Changed, 1,
                                                    lists.left[static_cast<std::size_t>(i)].text,
                                                    lists.right[static_cast<std::size_t>(j)].text});
        ReferenceAlignGap(lists, q, a, i, c, j);
        a = i;
        c = j;
    }
    for (std::int32_t i = a + 1; i < b; ++i)
        lists.results.insert(before, ResultPair{i, 0, TextStatus::Deleted, 1,
                                                lists.left[static_cast<std::size_t>(i)].text, ""});
    for (std::int32_t j = c + 1; j < d; ++j)
        lists.results.insert(before, ResultPair{0, j, TextStatus::Added, 1, "",
                                                lists.right[static_cast<std::size_t>(j)].text});
}

namespace {

/// f[i][j]: length of a longest common subsequence of left from i on and right from j on.
std::vector<std::vector<std::int32_t>> SuffixCommonLengths(const std::vector<std::string> &left,
                                                           const std::vector<std::string> &right)
{
    std::vector<std::vector<std::int32_t>> f(left.size() + 1,
                                             std::vector<std::int32_t>(right.size() + 1, 0));
    for (std::size_t i = left.size(); i-- > 0;)
        for (std::size_t j = right.size(); j-- > 0;)
            f[i][j] =
                left[i] == right[j] ? f[i + 1][j + 1] + 1 : std::max(f[i + 1][j], f[i][j + 1]);
    return f;
}

} // namespace

std::int32_t ReferenceCommonLength(const std::vector<std::string> &left,
                                   const std::vector<std::string> &right)
{
    return SuffixCommonLengths(left, right)[0][0];
}

std::vector<std::pair<std::int32_t, std::int32_t>>
ReferenceAnchors(const std::vector<std::string> &left, const std::vector<std::string> &right,
                 bool firstFit)
{
    const auto f = SuffixCommonLengths(left, right);
    std::vector<std::pair<std::int32_t, std::int32_t>> anchors;
    std::size_t from = 0; // the right index after the previous anchor
    for (std::size_t i = 0; i < left.size(); ++i) {
        for (std::size_t j = from; j < right.size(); ++j) {
            if (left[i] != right[j])
                continue;
            if (firstFit || 1 + f[i + 1][j + 1] >= f[i + 1][from]) {
                anchors.emplace_back(static_cast<std::int32_t>(i), static_cast<std::int32_t>(j));
                from = j + 1;
            }
            break;
        }
    }
    return anchors;
}

ResultList ReferenceCompare(const std::string &left, const std::string &right,
                            const CompareOptions &options, bool firstFitAnchors)
{
    ProgressModel progress;
    SentenceSplitter split(options, progress);
    split.Reset(MakeActiveDelimiters(options.Sptr[0]));
    SentenceList l;
    SentenceList r;
    while (!split.SplitStep(l, left)) {
    }
    while (!split.SplitStep(r, right)) {
    }

    std::vector<std::string> leftKeys, rightKeys;
    for (const Sentence &sentence : l)
        leftKeys.push_back(sentence.key);
    for (const Sentence &sentence : r)
        rightKeys.push_back(sentence.key);
    ResultList results;
    for (const auto &[i, j] : ReferenceAnchors(leftKeys, rightKeys, firstFitAnchors))
        results.push_back(ResultPair{i, j, TextStatus::Same, 1, l[static_cast<std::size_t>(i)].text,
                                     r[static_cast<std::size_t>(j)].text});
    AlignmentLists lists{l, r, results, progress};
    std::int32_t a = -1, c = -1;
    for (auto anchor = results.begin(); anchor != results.end(); ++anchor) {
        ReferenceAlignGap(lists, anchor, a, anchor->leftIndex, c, anchor->rightIndex);
        a = anchor->leftIndex;
        c = anchor->rightIndex;
    }
    ReferenceAlignGap(lists, results.end(), a, static_cast<std::int32_t>(l.size()), c,
                      static_cast<std::int32_t>(r.size()));
    for (auto record = results.begin(); record != results.end(); ++record)
        if (record->status == TextStatus::Changed)
            ReferenceDiffPair(results, record, options);
    return results;
}

} // namespace kivo::test

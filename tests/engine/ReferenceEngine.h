#pragma once

#include "Alignment.h"
#include "TokenListDiff.h"
#include "Token.h"

#include <cstdint>
#include <iterator>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The engine's searches written the plain way, as the behaviour is described: every pair of
// positions compared, every sub-gap rescanned, every word searched at every character. The
// engine's indexed searches must give exactly what these give.
namespace kivo::test {

/// The common-run matching on linked lists with erasing merges and recursion.
struct ListMatcher {
    using List = std::list<Token>;

    static List::iterator At(List &list, std::int32_t index)
    {
        return std::next(list.begin(), index);
    }

    static void Merge(List &list, std::int32_t index, std::int32_t length)
    {
        const auto first = At(list, index);
        for (std::int32_t n = 1; n < length; ++n) {
            const auto next = std::next(first);
            first->text += next->text;
            list.erase(next);
        }
        first->status = TextStatus::Same;
    }

    static void Common(List &X, std::int32_t xs, std::int32_t xe, List &Y, std::int32_t ys,
                       std::int32_t ye)
    {
        if (xs >= xe || ys >= ye)
            return;
        std::int32_t best = -1, bestLength = 0, bestStart = -1;
        auto y = At(Y, ys);
        for (std::int32_t i = ys; i < ye; ++i, ++y) {
            auto x = At(X, xs);
            for (std::int32_t k = xs; k < xe; ++k, ++x) {
                std::int32_t d = 0;
                for (auto a = x, b = y; k + d < xe && i + d < ye && a->key == b->key; ++a, ++b)
                    ++d;
                if (d > bestLength) {
                    best = i;
                    bestLength = d;
                    bestStart = k;
                }
            }
        }
        if (best < 0)
            return;
        Merge(Y, best, bestLength);
        Merge(X, bestStart, bestLength);
        Common(X, bestStart + 1, xe - (bestLength - 1), Y, best + 1, ye - (bestLength - 1));
        Common(X, xs, bestStart, Y, ys, best);
    }
};

/// DiffPair through ListMatcher: the runs of the Changed record at p inserted before it.
void ReferenceDiffPair(ResultList &results, ResultList::iterator p, const CompareOptions &options);

/// Whether word occurs in text starting and ending on character boundaries, trying every start.
bool ReferenceContains(std::string_view text, std::string_view word);

/// WordMatchScore with ReferenceContains.
std::uint32_t ReferenceScore(std::string_view searchIn, std::string_view split, std::uint32_t words,
                             std::uint32_t bound);

/// FindBestPair's scan of every pair of the gap, in order, with ReferenceScore.
std::optional<std::pair<std::int32_t, std::int32_t>>
ReferenceBestPair(SentenceList &left, SentenceList &right, std::int32_t a, std::int32_t b,
                  std::int32_t c, std::int32_t d);

/// AlignGap with recursion and ReferenceBestPair for every sub-gap.
void ReferenceAlignGap(AlignmentLists &lists, ResultList::iterator before, std::int32_t a,
                       std::int32_t b, std::int32_t c, std::int32_t d);

/// The anchors of two key lists, each a (left, right) index pair. First-fit: each left key takes
/// the first equal right key after the previous anchor. Otherwise that anchor is kept unless
/// leaving the left key unanchored lets strictly more of the remaining keys anchor, read from a
/// full table of suffix longest-common-subsequence lengths.
std::vector<std::pair<std::int32_t, std::int32_t>>
ReferenceAnchors(const std::vector<std::string> &left, const std::vector<std::string> &right,
                 bool firstFit);

/// Length of a longest common subsequence of the two key lists (a full table).
std::int32_t ReferenceCommonLength(const std::vector<std::string> &left,
                                   const std::vector<std::string> &right);

/// A whole comparison the plain way: the engine's splitting and keys, ReferenceAnchors,
/// ReferenceAlignGap for every gap and ReferenceDiffPair for every changed pair.
ResultList ReferenceCompare(const std::string &left, const std::string &right,
                            const CompareOptions &options, bool firstFitAnchors = false);

} // namespace kivo::test

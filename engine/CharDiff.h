#pragma once

#include "Progress.h"
#include "ResultPair.h"
#include "RichOptions.h"
#include "Token.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace kivo {

/// Splits the Changed record at p into runs of same and differing text, inserted before p with
/// sentenceEnd 0, and turns the record into an Original one with empty texts that only closes the
/// pair. A pair that shares no token stays as it was. Steps progress once, and once more per
/// range searched for a common run.
void DiffPair(ResultList &results, ResultList::iterator p, const RichOptions &options,
              IProgress &progress);

/// Finds the longest run of equal keys in X[xs, xe) and Y[ys, ye), merges it into one Same token
/// on each side, and does the same on the parts after it and then before it. Y is the list
/// scanned in the outer loop. Returns whether the ranges themselves had a common run.
///
/// Indices are positions in the vectors. A merge marks the folded tokens instead of erasing
/// them, so no range ever holds a folded token (the given ranges must hold none either): the part
/// after a run of length n starts n positions past the run's first token. Steps progress once per
/// non-empty pair of ranges.
bool CommonRuns(TokenList &X, std::int32_t xs, std::int32_t xe, TokenList &Y, std::int32_t ys,
                std::int32_t ye, IProgress &progress);

/// The keys of two token lists as small numbers, equal exactly where the keys are equal, so that
/// matching compares numbers instead of strings.
struct KeyNumbers {
    std::vector<std::int32_t> x;
    std::vector<std::int32_t> y;
};

/// Numbers the keys of X and Y (one number per token, in list order).
KeyNumbers NumberKeys(const TokenList &X, const TokenList &Y);

/// Sets y.matchStart and y.matchLength to the longest run of equal keys that starts with y, the
/// token at index i of Y, and some X[k], xs <= k < xe, bounded by xe and ye; the lowest k wins a
/// tie. xKeys and yKeys are the key numbers of X and Y. Leaves y unchanged when no run is longer
/// than its current matchLength.
void LongestRunAt(std::span<const std::int32_t> xKeys, std::int32_t xs, std::int32_t xe,
                  std::span<const std::int32_t> yKeys, std::int32_t i, std::int32_t ye, Token &y);

/// Length of the run of equal keys that starts with the equal pair xKeys[k], yKeys[i], counting
/// that pair and at most remainingX and remainingY further tokens of each list.
std::int32_t RunLength(std::span<const std::int32_t> xKeys, std::int32_t k, std::int32_t remainingX,
                       std::span<const std::int32_t> yKeys, std::int32_t i,
                       std::int32_t remainingY);

/// Index of the token of Y[ys, ye) with the largest matchLength, the lowest index on a tie; -1
/// when every matchLength is 0.
std::int32_t PickLongestRun(const TokenList &Y, std::int32_t ys, std::int32_t ye);

/// Folds the length - 1 unfolded tokens after list[index] into it (their texts appended in order,
/// its key kept) and marks it Same. Does nothing when index is outside the list.
void MergeRun(TokenList &list, std::int32_t index, std::int32_t length);

/// Removes the tokens that MergeRun folded, keeping the order of the others.
void DropFoldedTokens(TokenList &list);

/// Inserts before p the alternating difference and same runs of the matched token lists L (left)
/// and R (right), then makes the record at p an empty Original one. L and R hold no folded tokens.
void BuildRuns(ResultList &results, ResultList::iterator p, const TokenList &L, const TokenList &R);

/// Text gathered by CollectRun and the index to go on from.
struct CollectedRun {
    std::string text;
    std::int32_t next = -1;
};

/// From list[index]: the joined texts of the consecutive tokens of status wanted (at most one
/// token when wanted is Same, a merged run being one token) and the index after them. An index
/// below 0 is returned unchanged with no text; an index past the last token gives -1.
CollectedRun CollectRun(const TokenList &list, std::int32_t index, TextStatus wanted);

} // namespace kivo

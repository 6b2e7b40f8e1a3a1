#pragma once

// The character comparison of a changed pair as it was first written: a deque of tokens that
// each own their text and key, merged runs folded into their first token, the runs gathered
// from the token statuses. Kept as the reference the engine's lean PairDiffer must match byte
// for byte, and for the tests of its pieces.

#include "CharDiff.h"
#include "CompareOptions.h"
#include "EditScript.h"
#include "Progress.h"
#include "ResultPair.h"
#include "SuffixAutomaton.h"
#include "Token.h"
#include "WorkBudget.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kivo {

/// Splits the Changed record at p into runs of same and differing text, inserted before p with
/// sentenceEnd 0, and turns the record into an Original one with empty texts that only closes the
/// pair. A pair that shares no token stays as it was. Steps progress once, and once more per
/// range searched for a common run.
void TokenListDiffPair(ResultList &results, ResultList::iterator p, const CompareOptions &options,
                       IProgress &progress, const EngineThresholds &thresholds = {});

/// Finds the longest run of equal keys in X[xs, xe) and Y[ys, ye), merges it into one Same token
/// on each side, and does the same on the parts after it and then before it. Y is the list
/// scanned in the outer loop. Returns whether the ranges themselves had a common run.
///
/// Indices are positions in the vectors. A merge marks the folded tokens instead of erasing
/// them, so no range ever holds a folded token (the given ranges must hold none either): the part
/// after a run of length n starts n positions past the run's first token. Steps progress once per
/// non-empty pair of ranges.
bool CommonRuns(TokenList &X, std::int32_t xs, std::int32_t xe, TokenList &Y, std::int32_t ys,
                std::int32_t ye, IProgress &progress, const EngineThresholds &thresholds = {});

/// The keys of two token lists as small numbers, equal exactly where the keys are equal, so that
/// matching compares numbers instead of strings.
struct KeyNumbers {
    std::vector<std::int32_t> x;
    std::vector<std::int32_t> y;
};

/// Numbers the keys of X and Y (one number per token, in list order).
KeyNumbers NumberKeys(const TokenList &X, const TokenList &Y);

/// NumberKeys in slices. Holds views of the keys: the lists must not change while it numbers.
class KeyNumberer {
public:
    /// Appends the numbers of list's tokens from numbers.size() on; true once all are numbered.
    bool Number(const TokenList &list, std::vector<std::int32_t> &numbers, WorkBudget &budget);

private:
    std::unordered_map<std::string_view, std::int32_t> m_numbers;
};

/// CommonRuns in slices. Small ranges compare every pair of positions; larger ones index X's
/// range (LongestRunSearch), which finds the same run in linear time. The lists and the key
/// numbers must outlive the matcher.
///
/// Longest-run-first costs the length times the number of runs, which runs away on a long pair
/// that differs every few characters. So once the searches have covered more tokens than the
/// exact-run limit of the thresholds (a floor and an allowance per token matched so far), the
/// ranges still pending are matched by a shortest edit script with a cost limit
/// (EditScriptMatcher) instead. The switch is decided between searches only, so the runs never
/// depend on the budgets of the calls.
class TokenRunMatcher {
public:
    TokenRunMatcher(TokenList &X, std::span<const std::int32_t> xKeys, TokenList &Y,
                    std::span<const std::int32_t> yKeys, const EngineThresholds &thresholds,
                    IProgress &progress, TokenRanges first);

    /// Goes on matching; true once every range is done.
    bool Run(WorkBudget &budget);
    /// Whether the first ranges had a common run (meaningful once Run returned true).
    bool FoundInFirst() const { return m_foundInFirst; }
    /// Whether the exact-run limit was passed and the rest was matched by an edit script.
    bool UsedEditScript() const { return m_editing; }

private:
    CommonRun DirectRun(const TokenRanges &r);
    void Take(const TokenRanges &r, const CommonRun &run, WorkBudget &budget);
    void Merge(const CommonRun &run, WorkBudget &budget);
    bool PastExactLimit() const;
    void StartEditScript();
    bool RunEditScript(WorkBudget &budget);

    TokenList &m_X;
    TokenList &m_Y;
    std::span<const std::int32_t> m_xKeys;
    std::span<const std::int32_t> m_yKeys;
    const EngineThresholds &m_thresholds;
    IProgress &m_progress;
    std::vector<TokenRanges> m_pending;
    std::optional<TokenRanges> m_searching; // the ranges m_search works on
    LongestRunSearch m_search;
    bool m_first = true;
    bool m_foundInFirst = false;
    std::int64_t m_searched = 0;   // tokens covered by the searches so far
    std::int64_t m_matched = 0;    // tokens of both lists in the runs found so far
    std::int64_t m_exactLimit = 0; // the floor; with the allowance per match, past it the edit
                                   // script takes over
    bool m_editing = false;
    EditScriptMatcher m_edits;
    std::vector<CommonRun> m_editRuns;
};

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

/// BuildRuns in slices: each call inserts the runs of about a budget's worth of tokens.
class RunBuilder {
public:
    RunBuilder(ResultList &results, ResultList::iterator p, const TokenList &L, const TokenList &R)
        : m_results(results), m_p(p), m_L(L), m_R(R)
    {}

    /// Goes on inserting runs; true once the record at p is closed.
    bool Run(WorkBudget &budget);

private:
    void Insert(TextStatus status, std::string leftText, std::string rightText);

    ResultList &m_results;
    ResultList::iterator m_p;
    const TokenList &m_L;
    const TokenList &m_R;
    std::int32_t m_il = 0;
    std::int32_t m_ir = 0;
};

/// TokenListDiffPair in slices: cutting, numbering, matching, building the runs and freeing the
/// tokens each go on from where the previous call stopped. The result is TokenListDiffPair's,
/// which the engine's PairDiffer must give too.
class TokenListPairDiffer {
public:
    /// Starts on the Changed record at p; steps progress once.
    TokenListPairDiffer(ResultList &results, ResultList::iterator p, const CompareOptions &options,
                        IProgress &progress, const EngineThresholds &thresholds);

    /// Goes on; true once the pair is done and its tokens are freed.
    bool Run(WorkBudget &budget);
    /// Whether the pair was too costly for longest-run-first matching and its rest was matched
    /// by an edit script (meaningful once Run returned true).
    bool UsedEditScript() const { return m_usedEditScript; }

private:
    enum class Phase { CutLeft, CutRight, NumberLeft, NumberRight, Match, Compact, Build, Free };

    bool Cut(TokenList &list, std::int32_t &count, WorkBudget &budget);
    bool Compact(WorkBudget &budget);

    ResultList &m_results;
    ResultList::iterator m_p;
    const CompareOptions &m_options;
    IProgress &m_progress;
    const EngineThresholds &m_thresholds;
    Phase m_phase = Phase::CutLeft;
    TokenList m_L;
    TokenList m_R;
    std::int32_t m_nL = 0;
    std::int32_t m_nR = 0;
    std::optional<TokenCutter> m_cutter;
    KeyNumberer m_numberer;
    std::vector<std::int32_t> m_keysL;
    std::vector<std::int32_t> m_keysR;
    std::optional<TokenRunMatcher> m_matcher;
    std::size_t m_compactRead = 0;  // next token of the list being compacted
    std::size_t m_compactWrite = 0; // where it goes
    bool m_compactedLeft = false;
    std::optional<RunBuilder> m_builder;
    bool m_usedEditScript = false;
};

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

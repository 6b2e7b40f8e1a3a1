#pragma once

#include "CompareOptions.h"
#include "EditScript.h"
#include "Progress.h"
#include "ResultPair.h"
#include "RunFinder.h"
#include "SentenceTokens.h"
#include "SuffixAutomaton.h"
#include "WorkBudget.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kivo {

/// Splits the Changed record at p into runs of same and differing text, inserted before p with
/// sentenceEnd 0, and turns the record into an Original one with empty texts that only closes the
/// pair. A pair that shares no token stays as it was. Steps progress once, and once more per
/// range searched for a common run.
///
/// Matching takes the longest common run of tokens (by key) of the two token ranges, then does
/// the same on the parts after it and then before it, the longer token list being X and the
/// shorter (the left one on equal counts) Y, scanned in the outer loop: of equal lengths the run
/// that starts first in Y, then first in X.
void DiffPair(ResultList &results, ResultList::iterator p, const CompareOptions &options,
              IProgress &progress, const EngineThresholds &thresholds = {});

/// A pair of token ranges still to be searched for a common run.
struct TokenRanges {
    std::int32_t xs, xe, ys, ye;
};

/// The common-run matching of DiffPair in slices, on the key numbers of the two token lists.
/// Small ranges compare every pair of positions; larger ones go to a RunFinder, which finds the
/// same run.
///
/// Longest-run-first costs the length times the number of runs, which runs away on a long pair
/// that differs every few characters. So once the searches have covered more tokens than the
/// exact-run limit of the thresholds (a floor and an allowance per token matched so far), the
/// ranges still pending are matched by a shortest edit script with a cost limit
/// (EditScriptMatcher) instead. The switch is decided between searches only, so the runs never
/// depend on the budgets of the calls.
///
/// Each run found is marked where it starts, in the key lists themselves: the key number of its
/// first token becomes -(its length). Nothing reads the keys of a matched token again (the ranges
/// still to match never hold one), so after matching a negative number starts a common run and
/// every other token outside the runs is unmatched. The lists must outlive the matcher.
class RunMatcher {
public:
    RunMatcher(std::span<std::int32_t> xKeys, std::span<std::int32_t> yKeys,
               const EngineThresholds &thresholds, IProgress &progress, TokenRanges first);

    /// Goes on matching; true once every range is done.
    bool Run(WorkBudget &budget);
    /// Whether the first ranges had a common run (meaningful once Run returned true).
    bool FoundInFirst() const { return m_foundInFirst; }
    /// Whether the exact-run limit was passed and the rest was matched by an edit script.
    bool UsedEditScript() const { return m_editing; }

private:
    CommonRun DirectRun(const TokenRanges &r) const;
    void Take(const TokenRanges &r, const CommonRun &run, WorkBudget &budget);
    void Mark(const CommonRun &run);
    bool PastExactLimit() const;
    void StartEditScript();
    bool RunEditScript(WorkBudget &budget);

    std::span<std::int32_t> m_xKeys;
    std::span<std::int32_t> m_yKeys;
    const EngineThresholds &m_thresholds;
    IProgress &m_progress;
    std::vector<TokenRanges> m_pending;
    std::optional<TokenRanges> m_searching; // the ranges m_search works on
    RunFinder m_search;
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

/// DiffPair in slices, for the idle-time driver: cutting, matching, building the runs and freeing
/// the tokens each go on from where the previous call stopped, so that no call outlasts its
/// budget however long the sentences are. The result is DiffPair's.
class PairDiffer {
public:
    /// Starts on the Changed record at p; steps progress once.
    PairDiffer(ResultList &results, ResultList::iterator p, const CompareOptions &options,
               IProgress &progress, const EngineThresholds &thresholds);

    /// Goes on; true once the pair is done and its tokens are freed.
    bool Run(WorkBudget &budget);
    /// Whether the pair was too costly for longest-run-first matching and its rest was matched
    /// by an edit script (meaningful once Run returned true).
    bool UsedEditScript() const { return m_usedEditScript; }

private:
    enum class Phase { CutLeft, CutRight, Match, Build, Free };

    bool Cut(SentenceTokens &tokens, std::string_view text, WorkBudget &budget);
    bool Build(WorkBudget &budget);
    void Insert(TextStatus status, std::string leftText, std::string rightText);

    ResultList &m_results;
    ResultList::iterator m_p;
    const CompareOptions &m_options;
    IProgress &m_progress;
    const EngineThresholds &m_thresholds;
    Phase m_phase = Phase::CutLeft;
    KeyTable m_keyTable;
    SentenceTokens m_L;
    SentenceTokens m_R;
    std::optional<SentenceCutter> m_cutter;
    std::optional<SentenceCutter> m_leftWalker; // building: where the next token of each side is
    std::optional<SentenceCutter> m_rightWalker;
    std::optional<RunMatcher> m_matcher;
    // Building: the next token of each side, whether a difference or a common run is being
    // walked, where it ends and where its text starts.
    std::int32_t m_il = 0;
    std::int32_t m_ir = 0;
    bool m_inRun = false;
    bool m_inPart = false;
    std::int32_t m_leftPartEnd = 0;
    std::int32_t m_rightPartEnd = 0;
    std::size_t m_leftFrom = 0;
    std::size_t m_rightFrom = 0;
    bool m_usedEditScript = false;
};

} // namespace kivo

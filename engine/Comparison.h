#pragma once

#include "Alignment.h"
#include "CharDiff.h"
#include "GapAligner.h"
#include "MaximalAnchors.h"
#include "Moves.h"
#include "Progress.h"
#include "QuoteDepth.h"
#include "ResultPair.h"
#include "RichOptions.h"
#include "Sentence.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kivo {

/// Driver states. Values are the state numbers of the comparison; the engine runs 1 to 8, the
/// driver the rest.
enum class CompareState : std::int32_t {
    Idle = -1,
    Prepare = 0,
    SplitLeft = 1,
    SplitRight = 2,
    SetUpAnchoring = 3,
    Anchoring = 4,
    GapAlignment = 5,
    SetUpCharDiff = 6,
    CharDiff = 7,
    EngineDone = 8,
    SetUpDisplay = 9,
    Display = 10,
    ScrollBack = 11,
    Restore = 12,
};

/// The comparison state and the engine's operations on it: sentence splitting, anchoring, gap
/// alignment and intra-sentence differences, cut into steps of bounded size.
///
/// The application object owns one; the driver calls Step() once per idle call. The options and
/// the progress indicator are borrowed and must outlive the object.
class Comparison {
public:
    Comparison(const RichOptions &options, IProgress &progress)
        : m_options(options), m_progress(progress)
    {}

    // --- Comparison fields -------------------------------------------------------------------
    CompareState compareState = CompareState::Idle;
    std::string leftSourceText;
    std::string rightSourceText;
    std::string ActiveDelimiters;

    // Splitter state between idle calls.
    std::string pendingSentence;
    std::int32_t splitPos = 0;
    /// Bracket depth of the text being split, while KeepQuotes is on.
    QuoteDepth quoteDepth;

    SentenceList leftSentences;
    SentenceList rightSentences;
    ::kivo::ResultList ResultList;
    /// With ViewMove on, the moved sentences, found once alignment is done (state 6); they stay
    /// until the next comparison starts.
    MoveTable moves;

    /// State 4: index of the current left sentence and of the last anchored right sentence.
    /// State 5: left and right index of the previous anchor.
    std::int32_t anchorLeft = 0;
    std::int32_t anchorRight = 0;
    /// Next record to visit in ResultList during states 5 to 10.
    ::kivo::ResultList::iterator resultCursor;

    /// Work units one Step may spend in gap alignment and character comparison; a gap or a pair
    /// that needs more goes on in the next Step, in the same state. The results do not depend on
    /// it.
    std::int64_t stepWorkUnits = kStepWorkUnits;
    /// Sizes from which the indexed searches replace the direct loops (the results are the same).
    EngineThresholds thresholds;
    /// Anchoring keeps every first-fit anchor (each left sentence takes the first equal right
    /// sentence after the previous anchor, however far ahead) instead of the anchors that let the
    /// most sentences anchor. For callers that relied on the older records.
    bool firstFitAnchors = false;

    // --- What the last comparison could not do exactly ------------------------------------
    /// Anchoring was too costly to do exactly (tens of thousands of copies of a few sentences):
    /// it used the equal sentences near the diagonal only (or the first-fit anchors, were those
    /// more), which may be fewer than the most possible.
    bool anchorsNotMaximal = false;
    /// Changed pairs whose common runs were too costly to find longest first: the rest of each
    /// was matched by a shortest edit script with a cost limit.
    std::int32_t pairsMatchedByEdits = 0;

    // --- Life cycle -------------------------------------------------------------------------
    /// Resets every engine field for a new comparison of the given texts (code page 932, CR line
    /// breaks) and builds ActiveDelimiters from the current delimiter set. Leaves compareState to
    /// the caller.
    void Reset(std::string leftText, std::string rightText);

    /// Runs one step of the engine states 1 to 8. Returns false when compareState is not one of
    /// them (the engine's work is done or has not started). Work too large for one step's work
    /// units takes several steps, compareState staying where it is: a gap or a changed pair,
    /// and for millions of sentences the anchor index (state 3) and freeing the sentences
    /// (state 8).
    bool Step();

    /// Starts a comparison of the two texts at state 1 and runs the engine states to the end.
    /// The finished ResultList stays; compareState is left at 9.
    void RunToCompletion(std::string leftText, std::string rightText);

    /// The end of the records that are final: character comparison has passed them, so a caller
    /// may hand them on and erase them while the comparison goes on. The first record before
    /// state 7, the end of ResultList from state 8 on.
    ::kivo::ResultList::iterator FinishedEnd();

    /// Deletes the sentences of both lists and empties both source texts.
    void FreeSentenceLists();
    /// Deletes every record of ResultList.
    void FreeResultList();

    // --- Splitting ---------------------------------------------------------------------------
    /// Reads up to 102 characters of text into the pending sentence and finishes at most one
    /// sentence into list. At the end of the text, advances compareState and resets splitPos.
    /// Always returns 1.
    int SplitStep(SentenceList &list, std::string_view text);

    /// Byte offset of the first occurrence, within the first 800 bytes of text, of the first
    /// delimiter (in set order) of ActiveDelimiters that occurs there; 800 when there is none.
    std::int32_t FirstDelimiterOffset(std::string_view text) const;

    const RichOptions &Options() const { return m_options; }
    IProgress &Progress() { return m_progress; }

private:
    void SetUpAnchoring();
    void AnchorStep();
    void GapStep();
    void SetUpCharDiff();
    void CharDiffStep();
    void FinishEngine();

    const RichOptions &m_options;
    IProgress &m_progress;
    /// The right sentences by key while anchoring (state 4); empty otherwise.
    AnchorIndex m_anchors;
    /// Which first-fit anchors to keep (states 3 and 4).
    MaximalAnchors m_maximal;
    /// The gap being aligned across steps (state 5), and the anchor after it (the end of
    /// ResultList for the tail gap); none between gaps.
    std::optional<GapAligner> m_aligner;
    ::kivo::ResultList::iterator m_gapEnd;
    /// The changed pair being compared across steps (state 7); none between pairs.
    std::optional<PairDiffer> m_differ;
};

/// The delimiter set of a comparison: the set with every backslash-n (on character boundaries)
/// replaced by one carriage return.
std::string MakeActiveDelimiters(std::string_view delimiterSet);

/// Bytes read by FirstDelimiterOffset; a longer text without a delimiter there gets a warning.
inline constexpr std::int32_t kDelimiterProbeBytes = 800;

} // namespace kivo

#pragma once

#include "Alignment.h"
#include "CharDiff.h"
#include "CompareOptions.h"
#include "EngineState.h"
#include "GapAligner.h"
#include "MaximalAnchors.h"
#include "Moves.h"
#include "Progress.h"
#include "ResultPair.h"
#include "Sentence.h"
#include "Side.h"
#include "Splitter.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace kivo {

/// How finely a comparison is cut into steps and which searches it uses. None of it changes the
/// records but firstFitAnchors.
struct EngineTuning {
    /// Work units one Step may spend in gap alignment and character comparison; a gap or a pair
    /// that needs more goes on in the next Step, in the same state.
    std::int64_t stepWorkUnits = kStepWorkUnits;
    /// Sizes from which the indexed searches replace the direct loops (the results are the same).
    EngineThresholds thresholds;
    /// Anchoring keeps every first-fit anchor (each left sentence takes the first equal right
    /// sentence after the previous anchor, however far ahead) instead of the anchors that let the
    /// most sentences anchor. For callers that relied on the older records.
    bool firstFitAnchors = false;
};

/// One comparison of two texts: sentence splitting, anchoring, gap alignment and intra-sentence
/// differences, cut into steps of bounded size. Its state is its own; callers start it, step it
/// and read the records.
///
/// The options and the progress indicator are borrowed and must outlive the object.
class Comparison {
public:
    Comparison(const CompareOptions &options, IProgress &progress)
        : m_options(options), m_progress(progress), m_splitter(options, progress)
    {}

    // --- Life cycle -------------------------------------------------------------------------
    /// Frees whatever an earlier comparison left, takes the given texts (code page 932, CR line
    /// breaks) and builds the active delimiters from the current delimiter set. The state becomes
    /// Idle until Start.
    void Reset(std::string leftText = {}, std::string rightText = {});
    /// Begins the comparison of the texts given to Reset at SplitLeft.
    void Start();
    /// Takes the texts and begins at SplitLeft, with the delimiters of the last Reset.
    void Start(std::string leftText, std::string rightText);

    /// Runs one step of the engine. Returns false when the state is Idle or Finished. Work too
    /// large for one step's work units takes several steps, the state staying where it is: a gap
    /// or a changed pair, and for millions of sentences the anchor index (SetUpAnchoring) and
    /// freeing the sentences (EngineDone).
    bool Step();

    /// Resets, starts and runs the comparison of the two texts to its end. The records stay;
    /// the state is left at Finished.
    void RunToCompletion(std::string leftText, std::string rightText);

    /// Hands each record that is final (character comparison has passed it), in order, to
    /// take, and erases it, so that a caller may stream the records while the comparison goes
    /// on. Stops early, keeping the record, when take returns false; returns whether it went
    /// through all of them.
    template <typename Take> bool DrainFinished(Take &&take);

    /// Deletes the sentences of both lists and empties both source texts.
    void FreeSentenceLists();
    /// Deletes every record.
    void FreeResultList();
    /// Hands over every record, leaving none.
    ResultList TakeResults() { return std::exchange(m_results, {}); }

    // --- What a caller reads ----------------------------------------------------------------
    EngineState State() const { return m_state; }
    /// The records so far; complete once the state is Finished.
    const ResultList &Results() const { return m_results; }
    /// The sentences of one side, until they are freed at the end of the engine.
    const SentenceList &Sentences(Side side) const { return m_sentences[Index(side)]; }
    /// With ViewMove on, the moved sentences, found once alignment is done; they stay until the
    /// next comparison starts.
    const MoveTable &Moves() const { return m_moves; }
    /// For each sentence of a side, whether it ends a paragraph of its text (see
    /// SentenceSplitter::TakeParagraphEnds); filled once the side is split, kept until Reset.
    const std::vector<bool> &ParagraphEnds(Side side) const { return m_paragraphEnds[Index(side)]; }
    /// Hands the paragraph ends of both sides over.
    PerSide<std::vector<bool>> TakeParagraphEnds() { return std::exchange(m_paragraphEnds, {}); }
    /// The line breaks the aligned layout trimmed around each side's sentences; filled once the
    /// side is split, kept until Reset.
    const TrimmedBreaks &Trimmed(Side side) const { return m_trimmed[Index(side)]; }
    /// The current delimiter set with backslash-n turned into a line break.
    const std::string &ActiveDelimiters() const { return m_splitter.ActiveDelimiters(); }
    /// Byte offset where splitting goes on reading; 0 between texts.
    std::int32_t SplitPosition() const { return m_splitter.Position(); }

    /// Byte offset of the first occurrence, within the first kDelimiterProbeBytes bytes of text,
    /// of the first delimiter (in set order) of the active set that occurs there;
    /// kDelimiterProbeBytes when there is none.
    std::int32_t FirstDelimiterOffset(std::string_view text) const
    {
        return m_splitter.FirstDelimiterOffset(text);
    }

    const EngineTuning &Tuning() const { return m_tuning; }
    void SetTuning(const EngineTuning &tuning) { m_tuning = tuning; }

    // --- What the last comparison could not do exactly ------------------------------------
    /// Anchoring was too costly to do exactly (tens of thousands of copies of a few sentences):
    /// it used the equal sentences near the diagonal only (or the first-fit anchors, were those
    /// more), which may be fewer than the most possible.
    bool AnchorsNotMaximal() const { return m_anchorsNotMaximal; }
    /// Changed pairs whose common runs were too costly to find longest first: the rest of each
    /// was matched by a shortest edit script with a cost limit.
    std::int32_t PairsMatchedByEdits() const { return m_pairsMatchedByEdits; }

    const CompareOptions &Options() const { return m_options; }
    IProgress &Progress() { return m_progress; }

private:
    void SplitTextStep(Side side, EngineState next);
    void SetUpAnchoring();
    void AnchorStep();
    void GapStep();
    void SetUpCharDiff();
    void CharDiffStep();
    void FinishEngine();
    /// The end of the records that are final: the first record before CharDiff, the end of the
    /// list from EngineDone on.
    ResultList::iterator FinishedEnd();

    const CompareOptions &m_options;
    IProgress &m_progress;
    EngineTuning m_tuning;
    EngineState m_state = EngineState::Idle;

    PerSide<std::string> m_sourceTexts;
    SentenceSplitter m_splitter;
    PerSide<SentenceList> m_sentences;
    ResultList m_results;
    MoveTable m_moves;
    PerSide<std::vector<bool>> m_paragraphEnds;
    PerSide<TrimmedBreaks> m_trimmed;

    /// Anchoring: index of the current left sentence and of the last anchored right sentence.
    /// Gap alignment: left and right index of the previous anchor.
    std::int32_t m_anchorLeft = 0;
    std::int32_t m_anchorRight = 0;
    /// Next record to visit during gap alignment and character comparison.
    ResultList::iterator m_cursor;

    bool m_anchorsNotMaximal = false;
    std::int32_t m_pairsMatchedByEdits = 0;

    /// The right sentences by key while anchoring; empty otherwise.
    AnchorIndex m_anchors;
    /// Which first-fit anchors to keep (SetUpAnchoring and Anchoring).
    MaximalAnchors m_maximal;
    /// The gap being aligned across steps, and the anchor after it (the end of the records for
    /// the tail gap); none between gaps.
    std::optional<GapAligner> m_aligner;
    ResultList::iterator m_gapEnd;
    /// The changed pair being compared across steps; none between pairs.
    std::optional<PairDiffer> m_differ;
};

template <typename Take> bool Comparison::DrainFinished(Take &&take)
{
    for (const auto end = FinishedEnd(); m_results.begin() != end;) {
        if (!take(m_results.front()))
            return false;
        m_results.pop_front();
    }
    return true;
}

} // namespace kivo

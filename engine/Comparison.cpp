#include "Comparison.h"

#include <iterator>
#include <utility>

namespace kivo {

namespace {

std::int32_t Size(const SentenceList &list)
{
    return static_cast<std::int32_t>(list.size());
}

} // namespace

void Comparison::Reset(std::string leftText, std::string rightText)
{
    // A previous comparison normally leaves everything empty; one that was cut short must not
    // leak its sentences or records into this one.
    FreeSentenceLists();
    FreeResultList();
    leftSourceText = std::move(leftText);
    rightSourceText = std::move(rightText);
    ActiveDelimiters = MakeActiveDelimiters(m_options.Sptr[0]);
    pendingSentence.clear();
    splitPos = 0;
    quoteDepth.Reset();
    moves.Clear();
    anchorLeft = 0;
    anchorRight = 0;
    anchorsNotMaximal = false;
    pairsMatchedByEdits = 0;
}

bool Comparison::Step()
{
    switch (compareState) {
    case CompareState::SplitLeft:
        SplitStep(leftSentences, leftSourceText);
        if (compareState != CompareState::SplitLeft)
            std::string().swap(leftSourceText); // split: not needed any more
        return true;
    case CompareState::SplitRight:
        SplitStep(rightSentences, rightSourceText);
        if (compareState != CompareState::SplitRight)
            std::string().swap(rightSourceText);
        return true;
    case CompareState::SetUpAnchoring:
        SetUpAnchoring();
        return true;
    case CompareState::Anchoring:
        AnchorStep();
        return true;
    case CompareState::GapAlignment:
        GapStep();
        return true;
    case CompareState::SetUpCharDiff:
        SetUpCharDiff();
        return true;
    case CompareState::CharDiff:
        CharDiffStep();
        return true;
    case CompareState::EngineDone:
        FinishEngine();
        return true;
    case CompareState::Idle:
    case CompareState::Prepare:
    case CompareState::SetUpDisplay:
    case CompareState::Display:
    case CompareState::ScrollBack:
    case CompareState::Restore:
        return false;
    }
    return false;
}

void Comparison::RunToCompletion(std::string leftText, std::string rightText)
{
    Reset(std::move(leftText), std::move(rightText));
    compareState = CompareState::SplitLeft;
    while (Step()) {
    }
}

ResultList::iterator Comparison::FinishedEnd()
{
    switch (compareState) {
    case CompareState::CharDiff:
        // The pair being compared is the record just before the cursor; its runs go in before it.
        return m_differ ? std::prev(resultCursor) : resultCursor;
    case CompareState::EngineDone:
    case CompareState::SetUpDisplay:
    case CompareState::Display:
    case CompareState::ScrollBack:
    case CompareState::Restore:
        return ResultList.end();
    case CompareState::Idle:
    case CompareState::Prepare:
    case CompareState::SplitLeft:
    case CompareState::SplitRight:
    case CompareState::SetUpAnchoring:
    case CompareState::Anchoring:
    case CompareState::GapAlignment:
    case CompareState::SetUpCharDiff:
        return ResultList.begin();
    }
    return ResultList.begin();
}

void Comparison::FreeSentenceLists()
{
    m_anchors.Clear(); // it reads the right keys
    m_maximal.Clear();
    m_aligner.reset(); // and so does the aligner, of both sides' keys
    SentenceList().swap(leftSentences);
    SentenceList().swap(rightSentences);
    std::string().swap(leftSourceText);
    std::string().swap(rightSourceText);
}

void Comparison::FreeResultList()
{
    m_differ.reset(); // it points into the list
    m_aligner.reset();
    ResultList.clear();
    resultCursor = ResultList.end();
}

void Comparison::SetUpAnchoring()
{
    std::string().swap(leftSourceText);
    std::string().swap(rightSourceText);
    // The right sentences by key: for millions of sentences this takes several steps.
    WorkBudget budget(stepWorkUnits);
    if (!m_anchors.Build(rightSentences, budget))
        return;
    // Which first-fit anchors to veto: as costly as the number of equal sentence pairs.
    if (!firstFitAnchors) {
        if (!m_maximal.Prepare(leftSentences, rightSentences, m_anchors,
                               thresholds.exactAnchoringWork, m_progress, budget))
            return;
        anchorsNotMaximal = !m_maximal.Exact();
    }
    compareState = CompareState::Anchoring;
    anchorLeft = 0;
    anchorRight = -1;
}

void Comparison::AnchorStep()
{
    // The cursor into the left sentences is anchorLeft itself.
    const std::int32_t count = Size(leftSentences);
    if (anchorLeft < count) {
        const Sentence &sentence = leftSentences[static_cast<std::size_t>(anchorLeft)];
        std::int32_t candidate = anchorRight;
        const bool found = m_anchors.FindAnchor(sentence.key, candidate, m_progress).has_value();
        const bool keep = firstFitAnchors
                              ? found
                              : m_maximal.Keep(anchorLeft, found ? std::optional(candidate)
                                                                 : std::nullopt);
        if (keep) {
            anchorRight = candidate;
            const Sentence &twin = rightSentences[static_cast<std::size_t>(anchorRight)];
            ResultList.push_back(
                ResultPair{anchorLeft, anchorRight, TextStatus::Same, 1, sentence.text, twin.text});
        }
    }
    if (anchorLeft + 1 < count) {
        ++anchorLeft;
        return;
    }
    m_anchors.Clear();
    m_maximal.Clear();
    resultCursor = ResultList.begin();
    anchorLeft = -1;
    anchorRight = -1;
    compareState = CompareState::GapAlignment;
}

void Comparison::GapStep()
{
    if (!m_aligner) {
        AlignmentLists lists{leftSentences, rightSentences, ResultList, m_progress};
        if (resultCursor == ResultList.end()) {
            // The tail gap after the last anchor; its records are appended.
            m_gapEnd = ResultList.end();
            m_aligner.emplace(lists, m_gapEnd, anchorLeft, Size(leftSentences), anchorRight,
                              Size(rightSentences), thresholds);
        } else {
            // Every record from the cursor on is an anchor: gap records go in before it.
            m_gapEnd = resultCursor++;
            m_aligner.emplace(lists, m_gapEnd, anchorLeft, m_gapEnd->leftIndex, anchorRight,
                              m_gapEnd->rightIndex, thresholds);
        }
    }
    WorkBudget budget(stepWorkUnits);
    if (!m_aligner->Run(budget))
        return; // the gap goes on in the next step
    m_aligner.reset();
    if (m_gapEnd == ResultList.end()) {
        compareState = CompareState::SetUpCharDiff;
        return;
    }
    anchorLeft = m_gapEnd->leftIndex;
    anchorRight = m_gapEnd->rightIndex;
}

void Comparison::SetUpCharDiff()
{
    // Alignment is done and the sentences with their keys are still here: the place to pair the
    // deleted and added sentences that moved.
    if (m_options.ViewMove)
        moves = FindMoves(ResultList, leftSentences, rightSentences);
    resultCursor = ResultList.begin();
    compareState = ResultList.empty() ? CompareState::EngineDone : CompareState::CharDiff;
}

void Comparison::CharDiffStep()
{
    // Runs go in before their pair, behind the cursor, so they are never visited as pairs.
    if (!m_differ) {
        while (resultCursor != ResultList.end() && !m_differ) {
            const ResultList::iterator record = resultCursor++;
            if (record->status == TextStatus::Changed)
                m_differ.emplace(ResultList, record, m_options, m_progress, thresholds);
        }
        if (!m_differ) {
            compareState = CompareState::EngineDone;
            return;
        }
    }
    WorkBudget budget(stepWorkUnits);
    if (!m_differ->Run(budget))
        return; // the pair goes on in the next step
    if (m_differ->UsedEditScript())
        ++pairsMatchedByEdits;
    m_differ.reset();
    if (resultCursor == ResultList.end())
        compareState = CompareState::EngineDone;
}

void Comparison::FinishEngine()
{
    m_progress.SetPos(ProgressModel::kMaximum);
    // Millions of sentences are freed over several steps.
    WorkBudget budget(stepWorkUnits);
    for (SentenceList *list : {&leftSentences, &rightSentences}) {
        while (!list->empty()) {
            if (budget.Exhausted())
                return;
            list->pop_front();
            budget.Spend(1);
        }
    }
    FreeSentenceLists();
    compareState = CompareState::SetUpDisplay;
}

} // namespace kivo

#include "Comparison.h"

#include "ListSize.h"

#include <iterator>
#include <utility>

namespace kivo {

void Comparison::Reset(std::string leftText, std::string rightText)
{
    // A previous comparison normally leaves everything empty; one that was cut short must not
    // leak its sentences or records into this one.
    FreeSentenceLists();
    FreeResultList();
    m_sourceTexts = {std::move(leftText), std::move(rightText)};
    m_splitter.Reset(MakeActiveDelimiters(m_options.Sptr[0]));
    m_moves.Clear();
    m_paragraphEnds = {};
    m_trimmed = {};
    m_anchorLeft = 0;
    m_anchorRight = 0;
    m_anchorsNotMaximal = false;
    m_pairsMatchedByEdits = 0;
    m_state = EngineState::Idle;
}

void Comparison::Start()
{
    m_state = EngineState::SplitLeft;
}

void Comparison::Start(std::string leftText, std::string rightText)
{
    m_sourceTexts = {std::move(leftText), std::move(rightText)};
    Start();
}

void Comparison::SplitTextStep(Side side, EngineState next)
{
    std::string &text = m_sourceTexts[Index(side)];
    if (!m_splitter.SplitStep(m_sentences[Index(side)], text))
        return;
    std::string().swap(text); // split: not needed any more
    m_paragraphEnds[Index(side)] = m_splitter.TakeParagraphEnds();
    m_trimmed[Index(side)] = m_splitter.TakeTrimmedBreaks();
    m_state = next;
}

bool Comparison::Step()
{
    switch (m_state) {
    case EngineState::SplitLeft:
        SplitTextStep(Side::Left, EngineState::SplitRight);
        return true;
    case EngineState::SplitRight:
        SplitTextStep(Side::Right, EngineState::SetUpAnchoring);
        return true;
    case EngineState::SetUpAnchoring:
        SetUpAnchoring();
        return true;
    case EngineState::Anchoring:
        AnchorStep();
        return true;
    case EngineState::GapAlignment:
        GapStep();
        return true;
    case EngineState::SetUpCharDiff:
        SetUpCharDiff();
        return true;
    case EngineState::CharDiff:
        CharDiffStep();
        return true;
    case EngineState::EngineDone:
        FinishEngine();
        return true;
    case EngineState::Idle:
    case EngineState::Finished:
        return false;
    }
    return false;
}

void Comparison::RunToCompletion(std::string leftText, std::string rightText)
{
    Reset(std::move(leftText), std::move(rightText));
    Start();
    while (Step()) {
    }
}

ResultList::iterator Comparison::FinishedEnd()
{
    switch (m_state) {
    case EngineState::CharDiff:
        // The pair being compared is the record just before the cursor; its runs go in before it.
        return m_differ ? std::prev(m_cursor) : m_cursor;
    case EngineState::EngineDone:
    case EngineState::Finished:
        return m_results.end();
    case EngineState::Idle:
    case EngineState::SplitLeft:
    case EngineState::SplitRight:
    case EngineState::SetUpAnchoring:
    case EngineState::Anchoring:
    case EngineState::GapAlignment:
    case EngineState::SetUpCharDiff:
        return m_results.begin();
    }
    return m_results.begin();
}

void Comparison::FreeSentenceLists()
{
    m_anchors.Clear(); // it reads the right keys
    m_maximal.Clear();
    m_aligner.reset(); // and so does the aligner, of both sides' keys
    for (const Side side : kSides) {
        SentenceList().swap(m_sentences[Index(side)]);
        std::string().swap(m_sourceTexts[Index(side)]);
    }
}

void Comparison::FreeResultList()
{
    m_differ.reset(); // it points into the list
    m_aligner.reset();
    m_results.clear();
    m_cursor = m_results.end();
}

void Comparison::SetUpAnchoring()
{
    for (std::string &text : m_sourceTexts)
        std::string().swap(text);
    const SentenceList &left = m_sentences[Index(Side::Left)];
    const SentenceList &right = m_sentences[Index(Side::Right)];
    // The right sentences by key: for millions of sentences this takes several steps.
    WorkBudget budget(m_tuning.stepWorkUnits);
    if (!m_anchors.Build(right, budget))
        return;
    // Which first-fit anchors to veto: as costly as the number of equal sentence pairs.
    if (!m_tuning.firstFitAnchors) {
        if (!m_maximal.Prepare(left, right, m_anchors, m_tuning.thresholds.exactAnchoringWork,
                               m_progress, budget))
            return;
        m_anchorsNotMaximal = !m_maximal.Exact();
    }
    m_state = EngineState::Anchoring;
    m_anchorLeft = 0;
    m_anchorRight = -1;
}

void Comparison::AnchorStep()
{
    const SentenceList &left = m_sentences[Index(Side::Left)];
    const SentenceList &right = m_sentences[Index(Side::Right)];
    // The cursor into the left sentences is m_anchorLeft itself.
    const std::int32_t count = Size(left);
    if (m_anchorLeft < count) {
        const Sentence &sentence = left[static_cast<std::size_t>(m_anchorLeft)];
        std::int32_t candidate = m_anchorRight;
        const bool found = m_anchors.FindAnchor(sentence.key, candidate, m_progress).has_value();
        const bool keep =
            m_tuning.firstFitAnchors
                ? found
                : m_maximal.Keep(m_anchorLeft, found ? std::optional(candidate) : std::nullopt);
        if (keep) {
            m_anchorRight = candidate;
            const Sentence &twin = right[static_cast<std::size_t>(m_anchorRight)];
            m_results.push_back(ResultPair{m_anchorLeft, m_anchorRight, TextStatus::Same, 1,
                                           sentence.text, twin.text});
        }
    }
    if (m_anchorLeft + 1 < count) {
        ++m_anchorLeft;
        return;
    }
    m_anchors.Clear();
    m_maximal.Clear();
    m_cursor = m_results.begin();
    m_anchorLeft = -1;
    m_anchorRight = -1;
    m_state = EngineState::GapAlignment;
}

void Comparison::GapStep()
{
    if (!m_aligner) {
        // Alignment caches the word counts in the sentences.
        SentenceList &left = m_sentences[Index(Side::Left)];
        SentenceList &right = m_sentences[Index(Side::Right)];
        AlignmentLists lists{left, right, m_results, m_progress};
        if (m_cursor == m_results.end()) {
            // The tail gap after the last anchor; its records are appended.
            m_gapEnd = m_results.end();
            m_aligner.emplace(lists, m_gapEnd, m_anchorLeft, Size(left), m_anchorRight, Size(right),
                              m_tuning.thresholds);
        } else {
            // Every record from the cursor on is an anchor: gap records go in before it.
            m_gapEnd = m_cursor++;
            m_aligner.emplace(lists, m_gapEnd, m_anchorLeft, m_gapEnd->leftIndex, m_anchorRight,
                              m_gapEnd->rightIndex, m_tuning.thresholds);
        }
    }
    WorkBudget budget(m_tuning.stepWorkUnits);
    if (!m_aligner->Run(budget))
        return; // the gap goes on in the next step
    m_aligner.reset();
    if (m_gapEnd == m_results.end()) {
        m_state = EngineState::SetUpCharDiff;
        return;
    }
    m_anchorLeft = m_gapEnd->leftIndex;
    m_anchorRight = m_gapEnd->rightIndex;
}

void Comparison::SetUpCharDiff()
{
    // Alignment is done and the sentences with their keys are still here: the place to pair the
    // deleted and added sentences that moved.
    if (m_options.ViewMove)
        m_moves =
            FindMoves(m_results, m_sentences[Index(Side::Left)], m_sentences[Index(Side::Right)]);
    m_cursor = m_results.begin();
    m_state = m_results.empty() ? EngineState::EngineDone : EngineState::CharDiff;
}

void Comparison::CharDiffStep()
{
    // Runs go in before their pair, behind the cursor, so they are never visited as pairs.
    if (!m_differ) {
        while (m_cursor != m_results.end() && !m_differ) {
            const ResultList::iterator record = m_cursor++;
            if (record->status == TextStatus::Changed)
                m_differ.emplace(m_results, record, m_options, m_progress, m_tuning.thresholds);
        }
        if (!m_differ) {
            m_state = EngineState::EngineDone;
            return;
        }
    }
    WorkBudget budget(m_tuning.stepWorkUnits);
    if (!m_differ->Run(budget))
        return; // the pair goes on in the next step
    if (m_differ->UsedEditScript())
        ++m_pairsMatchedByEdits;
    m_differ.reset();
    if (m_cursor == m_results.end())
        m_state = EngineState::EngineDone;
}

void Comparison::FinishEngine()
{
    m_progress.SetPos(ProgressModel::kMaximum);
    // Millions of sentences are freed over several steps.
    WorkBudget budget(m_tuning.stepWorkUnits);
    for (SentenceList &list : m_sentences) {
        while (!list.empty()) {
            if (budget.Exhausted()) {
                SettleFreedBlocks();
                return;
            }
            list.pop_front();
            budget.Spend(1);
        }
    }
    FreeSentenceLists();
    m_state = EngineState::Finished;
}

} // namespace kivo

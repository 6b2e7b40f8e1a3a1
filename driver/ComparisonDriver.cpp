#include "driver/ComparisonDriver.h"

#include "resources/ResourceIds.h"

#include <algorithm>
#include <cstdlib>

namespace kivo {

using namespace res;

void ProgressRelay::Step()
{
    if (IProgress *bar = m_host.ProgressBar())
        bar->Step();
}

void ProgressRelay::SetPos(int position)
{
    if (IProgress *bar = m_host.ProgressBar())
        bar->SetPos(position);
}

void ProgressRelay::DeltaPos(int delta)
{
    if (IProgress *bar = m_host.ProgressBar())
        bar->DeltaPos(delta);
}

ComparisonDriver::ComparisonDriver(const RichOptions &options, IDriverHost &host)
    : ProgressRelayHolder(host), Comparison(options, relay), m_host(host)
{
    leftRowStarts.fill(-1);
    rightRowStarts.fill(-1);
}

void ComparisonDriver::StartComparison(bool wholeText)
{
    if (IsRunning() || !m_host.HasActiveDocument())
        return;
    selectionMode = !wholeText && m_host.BothSelected();
    // Empties the texts, the splitter's state and whatever a cut-short comparison left behind,
    // and turns backslash-n in the current delimiter set into the windows' line break.
    Reset({}, {});
    resultCursor = ResultList.end();
    leftView = nullptr;
    rightView = nullptr;
    leftRowStarts.fill(-1);
    rightRowStarts.fill(-1);
    stepCounter = 1;
    recordsPerStep = 1;
    displayScrollable = false;
    userScrolled = false;
    abortRequested = false;
    summary.reset();
    m_lastResult.reset();
    movedRecords.clear();
    if (m_host.CreateProgressDialog())
        compareState = CompareState::Prepare;
}

bool ComparisonDriver::Step()
{
    if (!IsRunning())
        return false;
    if (abortRequested) {
        if (compareState == CompareState::Prepare) {
            Finish(); // nothing has been touched yet
            return false;
        }
        compareState = CompareState::Restore;
    }

    switch (compareState) {
    case CompareState::Idle:
        return false;
    case CompareState::Prepare:
        if (!m_host.HasActiveDocument()) {
            Finish();
            return false;
        }
        Prepare();
        return true;
    case CompareState::SetUpAnchoring:
        m_host.SetProgressCaption(IDS_CAPTION_COMPARING);
        Comparison::Step();
        return true;
    case CompareState::Anchoring:
        Comparison::Step();
        if (compareState == CompareState::GapAlignment) {
            // One gap is one long step that cannot be interrupted: no abort while they run.
            m_host.SetProgressCaption(IDS_CAPTION_PLEASE_WAIT);
            m_host.EnableAbortButton(false);
            m_host.EnableProgressDialog(false);
        }
        return true;
    case CompareState::SetUpCharDiff:
        m_host.EnableProgressDialog(true);
        m_host.EnableAbortButton(true);
        m_host.SetProgressCaption(IDS_CAPTION_ALMOST_DONE);
        Comparison::Step();
        return true;
    case CompareState::SplitLeft:
    case CompareState::SplitRight:
    case CompareState::GapAlignment:
    case CompareState::CharDiff:
    case CompareState::EngineDone:
        Comparison::Step();
        return true;
    case CompareState::SetUpDisplay:
        SetUpDisplay();
        return true;
    case CompareState::Display:
        DisplayStep();
        return true;
    case CompareState::ScrollBack:
        ScrollBack();
        return true;
    case CompareState::Restore:
        if (m_host.HasActiveDocument())
            m_host.FinishViewAfterComparison();
        Finish();
        return false;
    }
    return false;
}

void ComparisonDriver::RunToCompletion()
{
    while (Step()) {
    }
}

void ComparisonDriver::Prepare()
{
    m_host.SetProgressCaption(IDS_CAPTION_ANALYSING);
    m_host.PrepareForComparison();
    if (const int warning = DelimiterWarning(leftSourceText, rightSourceText);
        warning != 0 && !m_host.AskYesNo(warning)) {
        m_host.EnableAbortButton(false);
        abortRequested = true;
    }
    compareState = CompareState::SplitLeft;
}

int ComparisonDriver::DelimiterWarning(std::string_view left, std::string_view right) const
{
    const auto suspicious = [this](std::string_view text) {
        return text.size() > static_cast<std::size_t>(kDelimiterProbeBytes) &&
               FirstDelimiterOffset(text) == kDelimiterProbeBytes;
    };
    // The right text is looked at only when the left one passes.
    if (!suspicious(left) && !suspicious(right))
        return 0;
    const bool longText = left.size() > kLongTextBytes || right.size() > kLongTextBytes;
    if (ActiveDelimiters.empty())
        return longText ? IDS_NO_DELIMITERS_LONG : IDS_NO_DELIMITERS;
    return longText ? IDS_BAD_DELIMITERS_LONG : IDS_BAD_DELIMITERS;
}

void ComparisonDriver::SetUpDisplay()
{
    resultCursor = ResultList.begin();
    movedRecords = MovedRecordPartners(ResultList, moves);
    if (ResultList.empty()) {
        compareState = CompareState::Restore;
        return;
    }
    if (m_host.HasActiveDocument())
        m_host.BeginDisplay();
    // One advance of the bar per one percent of the records.
    constexpr std::size_t kBarSteps = 100;
    recordsPerStep =
        std::max<std::int32_t>(1, static_cast<std::int32_t>(ResultList.size() / kBarSteps));
    stepCounter = 1;
    m_host.SetProgressCaption(IDS_CAPTION_DISPLAYING);
    Progress().SetPos(ProgressModel::kMinimum);
    if (Options().ViewFormat == 0)
        m_host.StartSyncScroll();
    compareState = CompareState::Display;
}

void ComparisonDriver::DisplayStep()
{
    if (!leftView || !rightView) {
        compareState = CompareState::ScrollBack;
        return;
    }
    const ResultPair &record = *resultCursor++;
    leftView->RenderRecord(record, record.leftText, leftRowStarts);
    rightView->RenderRecord(record, record.rightText, rightRowStarts);
    if (record.sentenceEnd == 1) {
        PadRows(PadMode::Pad);
        if (!displayScrollable && leftView->HasVerticalScrollBar()) {
            // The first screen is complete; its rows are levelled once, with the final wrapping.
            RealignRows(leftRowStarts, rightRowStarts);
            displayScrollable = true;
            PadRows(PadMode::Trim);
            m_host.SetProgressCaption(IDS_CAPTION_SCROLLABLE);
            m_host.ActivateMainWindow();
        }
    }
    if (stepCounter == recordsPerStep) {
        Progress().DeltaPos(1);
        stepCounter = 0;
    }
    if (resultCursor == ResultList.end())
        compareState = CompareState::ScrollBack;
    else
        ++stepCounter;
}

void ComparisonDriver::ScrollBack()
{
    if (m_host.HasActiveDocument())
        m_host.ReturnToRegionTop();
    if (!abortRequested) {
        Progress().SetPos(ProgressModel::kMaximum);
        summary = Summarize(ResultList);
        if (Options().ViewMove)
            summary->moved = static_cast<int>(moves.Count());
    }
    compareState = CompareState::Restore;
}

void ComparisonDriver::Finish()
{
    if (summary) {
        // Ran to its end: the records stay for the report.
        m_lastResult = std::make_unique<FinishedResult>(
            FinishedResult{std::move(ResultList), moves, Options()});
        m_lastResult->options.OnDelimitersChanged = nullptr;
        ResultList.clear();
    }
    FreeSentenceLists();
    FreeResultList();
    m_host.DestroyProgressDialog();
    leftView = nullptr;
    rightView = nullptr;
    abortRequested = false;
    movedRecords.clear();
    compareState = CompareState::Idle;
}

void ComparisonDriver::ViewDestroyed(IResultView *view)
{
    if (!IsRunning())
        return;
    if (!abortRequested) {
        leftView = nullptr;
        abortRequested = true;
    }
    // Never keep a pointer to a view that is gone, whichever side it was.
    if (leftView == view)
        leftView = nullptr;
    if (rightView == view)
        rightView = nullptr;
}

void ComparisonDriver::StopForExit()
{
    if (IsRunning())
        Finish();
}

void ComparisonDriver::PadRows(PadMode mode)
{
    if (Options().ViewFormat == 1 || !leftView || !rightView)
        return;
    const int a = leftView->RegionLineCount() - 1;
    const int b = rightView->RegionLineCount() - 1;
    if (a == b)
        return;
    IResultView &shorter = a < b ? *leftView : *rightView;
    IResultView &longer = a < b ? *rightView : *leftView;
    const int last = std::min(a, b);
    const int surplus = std::abs(a - b);
    if (mode == PadMode::Trim && longer.LinesAreBlank(last, last + surplus))
        longer.DeleteAtLine(last, surplus);
    else
        shorter.InsertBlankLines(last, surplus);
}

void ComparisonDriver::RealignRows(const RowStarts &left, const RowStarts &right)
{
    if (Options().ViewFormat == 1 || !leftView || !rightView)
        return;
    // Characters inserted (+) or deleted (-) so far in front of the later row starts.
    int shiftL = 0;
    int shiftR = 0;
    for (std::size_t i = 0; i < kRowStartCount && left[i] >= 0 && right[i] >= 0; ++i) {
        int x = leftView->RegionLineOfChar(left[i] + shiftL);
        int y = rightView->RegionLineOfChar(right[i] + shiftR);
        if (Options().ViewLine == 1 && x > 0 && y > 0) {
            // The separator lines above the rows.
            --x;
            --y;
        }
        if (y > x) {
            if (rightView->LinesAreBlank(x, y)) {
                rightView->DeleteAtLine(x, y - x);
                shiftR -= y - x;
            } else {
                leftView->InsertBlankLines(x, y - x);
                shiftL += y - x;
            }
        } else if (x > y) {
            if (leftView->LinesAreBlank(y, x)) {
                leftView->DeleteAtLine(y, x - y);
                shiftL -= x - y;
            } else {
                rightView->InsertBlankLines(y, x - y);
                shiftR += x - y;
            }
        }
    }
    leftView->CaretToLastLine();
    rightView->CaretToLastLine();
}

} // namespace kivo

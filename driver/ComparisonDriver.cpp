#include "driver/ComparisonDriver.h"

#include "resources/ResourceIds.h"

#include <algorithm>
#include <utility>

namespace kivo {

using namespace res;

void ProgressRelay::Step()
{
    if (m_window)
        m_window->Bar().Step();
}

void ProgressRelay::SetPos(int position)
{
    if (m_window)
        m_window->Bar().SetPos(position);
}

void ProgressRelay::DeltaPos(int delta)
{
    if (m_window)
        m_window->Bar().DeltaPos(delta);
}

namespace {

const std::string &TextOf(const ResultPair &record, Side side)
{
    return side == Side::Left ? record.leftText : record.rightText;
}

/// The driver's state for a state of the engine: the same number, display once the engine has
/// finished.
CompareState FromEngine(EngineState state)
{
    return static_cast<CompareState>(StateNumber(state));
}

} // namespace

ComparisonDriver::ComparisonDriver(const RichOptions &options, IDriverHost &host)
    : m_options(options), m_host(host), m_engine(options, m_relay)
{}

void ComparisonDriver::StartComparison(bool wholeText)
{
    if (IsRunning() || !m_host.HasActiveDocument())
        return;
    // Empties the texts, the splitter's state and whatever a cut-short comparison left behind,
    // and turns backslash-n in the current delimiter set into the windows' line break.
    m_engine.Reset();
    m_status = DriverStatus{};
    m_status.selectionMode = !wholeText && m_host.BothSelected();
    m_views = {};
    m_rows = nullptr;
    m_viewsLocked = false;
    m_scrollBack = ScrollBackPhase::Scroll;
    m_captureSide = 0;
    m_captured = {};
    m_displayCursor = m_engine.Results().end();
    m_displayed = 0;
    m_stepCounter = 1;
    m_recordsPerStep = 1;
    m_summary.reset();
    m_lastResult.reset();
    m_movedRecords.clear();
    m_progress = m_host.BeginComparison();
    m_relay.Attach(m_progress);
    if (m_progress)
        m_status.state = CompareState::Prepare;
}

void ComparisonDriver::EngineStep()
{
    m_engine.Step();
    m_status.state = FromEngine(m_engine.State());
}

bool ComparisonDriver::Step()
{
    if (!IsRunning())
        return false;
    if (m_status.abortRequested) {
        if (m_status.state == CompareState::Prepare && !m_viewsLocked) {
            Finish(); // nothing has been touched yet
            return false;
        }
        m_status.state = CompareState::Restore;
    }

    switch (m_status.state) {
    case CompareState::Idle:
        return false;
    case CompareState::Prepare:
        // Once the views are locked, the reading goes on through them, whatever is active.
        if (!m_viewsLocked && !m_host.HasActiveDocument()) {
            Finish();
            return false;
        }
        Prepare();
        return true;
    case CompareState::SetUpAnchoring:
        m_progress->SetCaption(IDS_CAPTION_COMPARING);
        EngineStep();
        return true;
    case CompareState::Anchoring:
        EngineStep();
        if (m_status.state == CompareState::GapAlignment) {
            // One gap is one long step that cannot be interrupted: no abort while they run.
            m_progress->SetCaption(IDS_CAPTION_PLEASE_WAIT);
            m_progress->EnableAbortButton(false);
            m_progress->EnableDialog(false);
        }
        return true;
    case CompareState::SetUpCharDiff:
        m_progress->EnableDialog(true);
        m_progress->EnableAbortButton(true);
        m_progress->SetCaption(IDS_CAPTION_ALMOST_DONE);
        EngineStep();
        return true;
    case CompareState::SplitLeft:
    case CompareState::SplitRight:
    case CompareState::GapAlignment:
    case CompareState::CharDiff:
    case CompareState::EngineDone:
        EngineStep();
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
        for (IResultView *view : m_views) {
            if (view)
                view->FinishAfterComparison(m_status.abortRequested);
        }
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
    if (!m_viewsLocked) {
        m_progress->SetCaption(IDS_CAPTION_ANALYSING);
        const ResultViews views = m_host.PrepareForComparison();
        m_views = views.views;
        m_rows = views.rows;
        for (const Side side : kSides) {
            if (IResultView *view = m_views[Index(side)])
                view->BeginCapture(m_status.selectionMode);
        }
        m_viewsLocked = true;
        return;
    }
    if (m_captureSide < kSides.size()) {
        IResultView *view = m_views[m_captureSide];
        if (!view || view->CaptureMore(m_captured[m_captureSide], kCaptureChars))
            ++m_captureSide;
        return;
    }
    StartEngine();
}

void ComparisonDriver::StartEngine()
{
    PerSide<std::string> texts = std::exchange(m_captured, {});
    if (const int warning = DelimiterWarning(texts[0], texts[1]);
        warning != 0 && !m_host.AskYesNo(warning)) {
        m_progress->EnableAbortButton(false);
        m_status.abortRequested = true;
    }
    m_engine.Start(std::move(texts[0]), std::move(texts[1]));
    m_status.state = FromEngine(m_engine.State());
}

int ComparisonDriver::DelimiterWarning(std::string_view left, std::string_view right) const
{
    const auto suspicious = [this](std::string_view text) {
        return text.size() > static_cast<std::size_t>(kDelimiterProbeBytes) &&
               m_engine.FirstDelimiterOffset(text) == kDelimiterProbeBytes;
    };
    // The right text is looked at only when the left one passes.
    if (!suspicious(left) && !suspicious(right))
        return 0;
    const bool longText = left.size() > kLongTextBytes || right.size() > kLongTextBytes;
    if (m_engine.ActiveDelimiters().empty())
        return longText ? IDS_NO_DELIMITERS_LONG : IDS_NO_DELIMITERS;
    return longText ? IDS_BAD_DELIMITERS_LONG : IDS_BAD_DELIMITERS;
}

void ComparisonDriver::SetUpDisplay()
{
    const ResultList &results = m_engine.Results();
    m_displayCursor = results.begin();
    m_displayed = 0;
    m_leadingBreaksGiven = {};
    m_movedRecords = MovedRecordPartners(results, m_engine.Moves());
    if (results.empty()) {
        m_status.state = CompareState::Restore;
        return;
    }
    for (IResultView *view : m_views) {
        if (view)
            view->BeginDisplay();
    }
    // One advance of the bar per one percent of the records.
    constexpr std::size_t kBarSteps = 100;
    m_recordsPerStep =
        std::max<std::int32_t>(1, static_cast<std::int32_t>(results.size() / kBarSteps));
    m_stepCounter = 1;
    m_progress->SetCaption(IDS_CAPTION_DISPLAYING);
    m_relay.SetPos(ProgressModel::kMinimum);
    if (Options().ViewFormat == SentenceLayout::Aligned)
        m_host.StartSyncScroll();
    m_status.state = CompareState::Display;
}

RecordBreaks ComparisonDriver::BreaksOf(const ResultPair &record, Side side)
{
    const bool hasSentence = side == Side::Left ? record.status != TextStatus::Added
                                                : record.status != TextStatus::Deleted;
    if (Options().ViewFormat != SentenceLayout::Aligned || !hasSentence)
        return {};
    const TrimmedBreaks &trimmed = m_engine.Trimmed(side);
    RecordBreaks breaks;
    // The breaks before the text's first sentence go with its first characters written.
    bool &leadingGiven = m_leadingBreaksGiven[Index(side)];
    if (!leadingGiven && !TextOf(record, side).empty()) {
        breaks.before = trimmed.leading;
        leadingGiven = true;
    }
    const std::int32_t sentence = side == Side::Left ? record.leftIndex : record.rightIndex;
    if (record.sentenceEnd == 1 && sentence >= 0 &&
        static_cast<std::size_t>(sentence) < trimmed.after.size())
        breaks.after = trimmed.after[static_cast<std::size_t>(sentence)];
    return breaks;
}

void ComparisonDriver::DisplayStep()
{
    if (!m_views[Index(Side::Left)] || !m_views[Index(Side::Right)]) {
        m_status.state = CompareState::ScrollBack;
        return;
    }
    const ResultPair &record = *m_displayCursor++;
    const std::int32_t number = m_displayed++;
    std::optional<std::int32_t> partner;
    if (const auto moved = m_movedRecords.find(number); moved != m_movedRecords.end())
        partner = moved->second;
    for (const Side side : kSides)
        m_views[Index(side)]->RenderRecord(record, TextOf(record, side), BreaksOf(record, side),
                                           partner);
    if (record.sentenceEnd == 1) {
        const bool rows = Options().ViewFormat == SentenceLayout::Aligned && m_rows;
        if (rows)
            m_rows->RowClosed();
        if (!m_status.displayScrollable && m_views[Index(Side::Left)]->HasVerticalScrollBar()) {
            // The first screen is complete; its rows are levelled again, with the final wrapping.
            if (rows)
                m_rows->LevelWrittenRows();
            m_status.displayScrollable = true;
            for (IResultView *view : m_views)
                view->AllowScrolling(true);
            m_progress->SetCaption(IDS_CAPTION_SCROLLABLE);
            m_progress->HandBackKeyboard();
        }
    }
    if (m_stepCounter == m_recordsPerStep) {
        m_relay.DeltaPos(1);
        m_stepCounter = 0;
    }
    if (m_displayCursor == m_engine.Results().end())
        m_status.state = CompareState::ScrollBack;
    else
        ++m_stepCounter;
}

void ComparisonDriver::ScrollBack()
{
    // Three kinds of steps, each of them short: the scrolling, the counts of the result, and
    // the reading of the result for the difference commands, which are enabled or not as soon
    // as the comparison ends; the views read it here a piece per step rather than all then.
    switch (m_scrollBack) {
    case ScrollBackPhase::Scroll:
        // A view the user scrolled during display stays where it was put, and so does its
        // partner, which followed it.
        m_status.userScrolled = std::any_of(m_views.begin(), m_views.end(), [](IResultView *view) {
            return view && view->UserScrolled();
        });
        for (IResultView *view : m_views) {
            if (view && !m_status.userScrolled)
                view->ReturnToRegionTop();
        }
        if (!m_status.abortRequested)
            m_relay.SetPos(ProgressModel::kMaximum);
        m_scrollBack = ScrollBackPhase::Count;
        return;
    case ScrollBackPhase::Count:
        if (!m_status.abortRequested) {
            m_summary =
                Summarize(m_engine.Results(), Options().ViewMove ? &m_engine.Moves() : nullptr);
        }
        m_scrollBack = ScrollBackPhase::ReadDifferences;
        return;
    case ScrollBackPhase::ReadDifferences:
        for (IResultView *view : m_views) {
            if (view && !view->PrepareDifferences(kDifferenceScanUnits))
                return;
        }
        m_status.state = CompareState::Restore;
        return;
    }
}

void ComparisonDriver::Finish()
{
    if (m_summary) {
        // Ran to its end: the records stay for the report.
        m_lastResult = std::make_unique<FinishedResult>(FinishedResult{
            m_engine.TakeResults(), m_engine.Moves(), m_options, m_engine.TakeParagraphEnds()});
    }
    m_engine.FreeSentenceLists();
    m_engine.FreeResultList();
    m_views = {};
    m_rows = nullptr;
    m_captured = {};
    m_status.abortRequested = false;
    m_movedRecords.clear();
    m_status.state = CompareState::Idle;
    m_relay.Attach(nullptr);
    m_progress = nullptr;
    m_host.EndComparison();
}

void ComparisonDriver::RequestAbort()
{
    if (!IsRunning())
        return;
    m_status.abortRequested = true;
    for (IResultView *view : m_views) {
        if (view)
            view->AllowScrolling(false);
    }
}

void ComparisonDriver::ViewDestroyed(IResultView *view)
{
    if (!IsRunning())
        return;
    // Never keep a pointer to a view that is gone; the one that stays is given back at the
    // next step.
    for (IResultView *&taking : m_views) {
        if (taking == view) {
            taking = nullptr;
            m_rows = nullptr; // rows need both views
            m_status.abortRequested = true;
        }
    }
}

void ComparisonDriver::StopForExit()
{
    if (IsRunning())
        Finish();
}

void ComparisonDriver::StopForMemory()
{
    if (!IsRunning())
        return;
    // What the comparison holds goes first, so that the windows can be given back; no result
    // is kept for the report.
    m_summary.reset();
    m_engine.FreeSentenceLists();
    m_engine.FreeResultList();
    m_captured = {};
    m_movedRecords.clear();
    m_status.abortRequested = true;
}

} // namespace kivo

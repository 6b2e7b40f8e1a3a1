#pragma once

#include "Comparison.h"
#include "ResultSummary.h"
#include "RichOptions.h"
#include "Side.h"
#include "driver/CompareState.h"
#include "driver/ResultView.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace kivo {

/// The progress dialog of a running comparison, as the driver sees it: a caption for the phase,
/// a bar, an abort button the driver switches off where an abort cannot be honoured.
class IProgressWindow {
public:
    virtual ~IProgressWindow() = default;

    virtual void SetCaption(int stringId) = 0;
    /// Enables or disables the whole dialog, or only its abort button.
    virtual void EnableDialog(bool enable) = 0;
    virtual void EnableAbortButton(bool enable) = 0;
    virtual IProgress &Bar() = 0;
    /// The first screen of the result is complete: the keyboard goes back to the main window,
    /// so that the user can scroll while the rest is written.
    virtual void HandBackKeyboard() = 0;
};

/// What the driver asks of the application around it: which document to compare, questions to
/// the user, the progress dialog, and the notice that a comparison began or ended. The views
/// themselves are reached through IResultView. The application implements it; tests put a
/// stand-in there.
class IDriverHost {
public:
    virtual ~IDriverHost() = default;

    /// Whether a document is active: the one a comparison works on.
    virtual bool HasActiveDocument() const = 0;
    /// Whether the active document has exactly two views and both have a non-empty selection.
    virtual bool BothSelected() const = 0;

    /// A comparison begins: the application locks its windows and opens the progress dialog,
    /// which stays until EndComparison. Null when the dialog could not be made; then nothing
    /// begins.
    virtual IProgressWindow *BeginComparison() = 0;
    /// Readies the active document for a comparison and returns its left and right text views,
    /// from which the driver then takes the texts, with what keeps their rows level.
    virtual ResultViews PrepareForComparison() = 0;
    /// Switches synchronised scrolling on for the compared document.
    virtual void StartSyncScroll() = 0;
    /// Asks a yes/no question (a string id; question icon, No the default); true for Yes.
    virtual bool AskYesNo(int stringId) = 0;
    /// The comparison has ended (run to its end, aborted or stopped): the progress dialog goes,
    /// the windows are unlocked and the driver's summary, if any, can be shown.
    virtual void EndComparison() = 0;
};

/// Forwards the engine's progress to whatever bar is there at the moment.
class ProgressRelay : public IProgress {
public:
    void Attach(IProgressWindow *window) { m_window = window; }
    void Step() override;
    void SetPos(int position) override;
    void DeltaPos(int delta) override;

private:
    IProgressWindow *m_window = nullptr;
};

/// What stays of a comparison that ran to its end, for its report: the records, the moved
/// sentences among them, the options it ran with, and which sentences of each side end a
/// paragraph.
struct FinishedResult {
    ResultList records;
    MoveTable moves;
    RichOptions options;
    PerSide<std::vector<bool>> paragraphEnds;
};

/// The comparison driver: takes one comparison from the two windows' texts to the result
/// rendered in them, as a state machine of thirteen states (CompareState) with one bounded
/// step per idle call. The engine does states 1 to 8; the driver adds the preparation, the
/// delimiter warning, the display of the result and the clean-up, and keeps the progress
/// dialog's caption, enabling and bar.
///
/// It holds the comparison fields of the application object, all private. No window code: the
/// views are reached through IResultView, the dialog through IProgressWindow, and the rest of
/// the application through IDriverHost.
class ComparisonDriver {
public:
    ComparisonDriver(const RichOptions &options, IDriverHost &host);

    /// Whether a comparison runs (states 0 to 12).
    bool IsRunning() const { return m_status.state != CompareState::Idle; }
    CompareState State() const { return m_status.state; }
    const DriverStatus &Status() const { return m_status; }
    /// The engine of the comparison: its records, sentences and delimiters.
    const Comparison &Engine() const { return m_engine; }
    const RichOptions &Options() const { return m_options; }
    /// The view of a side taking part; null before state 0 and once it has gone.
    IResultView *View(Side side) const { return m_views[Index(side)]; }
    /// The counts of the last comparison that ran to its end; empty while one runs and after
    /// one was aborted.
    const std::optional<ResultSummary> &Summary() const { return m_summary; }
    /// Display progress: records per advance of the bar.
    std::int32_t RecordsPerStep() const { return m_recordsPerStep; }
    /// The last comparison that ran to its end, kept until the next one starts; null while one
    /// runs, after an abort and before the first.
    const FinishedResult *LastResult() const { return m_lastResult.get(); }

    /// The compare commands: whole texts, or the two selections when both windows have one.
    /// Does nothing while a comparison runs, without an active document, or when the progress
    /// dialog cannot be made.
    void StartComparison(bool wholeText);

    /// One step of the running comparison (the idle handler's part). Returns whether more
    /// work remains; false once the comparison has finished or when none runs.
    bool Step();
    /// Steps until the comparison has finished (tests and benchmarks).
    void RunToCompletion();

    /// The progress dialog's abort, once the user confirmed it: the views stop taking scroll
    /// keys at once, and the next step restores them.
    void RequestAbort();
    /// A view goes away: if a comparison runs, the display stops and the comparison ends at
    /// the next step, giving back the view that stays.
    void ViewDestroyed(IResultView *view);
    /// The application exits during a comparison: drops the result and the dialog at once.
    void StopForExit();
    /// A step ran out of memory: frees what the comparison holds and ends it at the next step
    /// as an abort does (the windows are given back, editable).
    void StopForMemory();

    /// The delimiter warning a comparison of these texts gets: the string id, or 0 for none.
    int DelimiterWarning(std::string_view left, std::string_view right) const;

private:
    void Finish();
    /// One step of the preparation: locking the views, then reading their texts piece by piece,
    /// then handing them to the engine.
    void Prepare();
    void StartEngine();
    /// One step of the engine, whose state becomes the driver's.
    void EngineStep();
    void SetUpDisplay();
    void DisplayStep();
    /// The user's line breaks a record stands for on one side (none outside the aligned layout).
    RecordBreaks BreaksOf(const ResultPair &record, Side side);
    void ScrollBack();

    const RichOptions &m_options;
    IDriverHost &m_host;
    /// The progress dialog from BeginComparison to EndComparison; null outside.
    IProgressWindow *m_progress = nullptr;
    ProgressRelay m_relay;
    Comparison m_engine;
    DriverStatus m_status;

    /// The views of pane 1 and pane 2 taking part; taken in state 0. A view destroyed during a
    /// comparison is cleared, which stops the display.
    PerSide<IResultView *> m_views{};
    IRowLevels *m_rows = nullptr;
    /// The preparation: whether the views are locked, the side whose text is being read (both
    /// read at kSides.size()) and the texts read so far.
    bool m_viewsLocked = false;
    std::size_t m_captureSide = 0;
    PerSide<std::string> m_captured;
    /// The step of the scrolling back that comes next.
    enum class ScrollBackPhase { Scroll, Count, ReadDifferences };
    ScrollBackPhase m_scrollBack = ScrollBackPhase::Scroll;
    /// The next record to display, and how many were displayed before it.
    ResultList::const_iterator m_displayCursor;
    std::int32_t m_displayed = 0;
    /// Per side, whether the line breaks before the text's first sentence have been written.
    PerSide<bool> m_leadingBreaksGiven{};
    /// Display progress: records per advance of the bar, and records since the last advance.
    std::int32_t m_recordsPerStep = 1;
    std::int32_t m_stepCounter = 1;
    std::optional<ResultSummary> m_summary;
    /// With ViewMove on, from the start of display: the position of each record of a moved
    /// sentence in the records, and the position of the record of its other end.
    std::unordered_map<std::int32_t, std::int32_t> m_movedRecords;
    std::unique_ptr<FinishedResult> m_lastResult;
};

/// Characters of a window's text read in one step of the preparation: a megabyte text is
/// taken in many short steps instead of one long freeze.
inline constexpr int kCaptureChars = 32 * 1024;

/// Fragments and paragraph ends of the result a view reads per step for the difference commands
/// once the result is displayed: a millisecond or two.
inline constexpr std::int64_t kDifferenceScanUnits = 512;

/// Bytes from which a text without a delimiter in its first bytes counts as a long one in the
/// warning's wording: comparing it may take a while.
inline constexpr std::size_t kLongTextBytes = 2000;

} // namespace kivo

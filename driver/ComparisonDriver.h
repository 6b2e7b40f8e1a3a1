#pragma once

#include "Comparison.h"
#include "ResultSummary.h"
#include "driver/ResultView.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace kivo {

/// What the driver asks of the windows around it: the views of the compared document, the main
/// window and the progress dialog. The application implements it; tests put a stand-in there.
class IDriverHost {
public:
    virtual ~IDriverHost() = default;

    /// Whether a document is active: the one a comparison works on.
    virtual bool HasActiveDocument() const = 0;
    /// Whether the active document has exactly two views and both have a non-empty selection.
    virtual bool BothSelected() const = 0;

    /// Call the view operation of the same name on each view of the compared document, in the
    /// document's order. PrepareForComparison makes each view register itself with the driver
    /// (leftView or rightView) and hand over its text.
    virtual void PrepareForComparison() = 0;
    virtual void BeginDisplay() = 0;
    virtual void ReturnToRegionTop() = 0;
    virtual void FinishViewAfterComparison() = 0;

    /// Switches synchronised scrolling on and lets every view note its first visible line.
    virtual void StartSyncScroll() = 0;
    /// Makes the main window the active window.
    virtual void ActivateMainWindow() = 0;
    /// Asks a yes/no question (a string id; question icon, No the default); true for Yes.
    virtual bool AskYesNo(int stringId) = 0;

    /// The progress dialog: its window exists from CreateProgressDialog (false when it could
    /// not be made) to DestroyProgressDialog.
    virtual bool CreateProgressDialog() = 0;
    virtual void DestroyProgressDialog() = 0;
    virtual void SetProgressCaption(int stringId) = 0;
    virtual void EnableProgressDialog(bool enable) = 0;
    virtual void EnableAbortButton(bool enable) = 0;
    /// The dialog's progress bar; null while there is no dialog.
    virtual IProgress *ProgressBar() = 0;
};

/// Forwards the engine's progress to whatever bar is there at the moment.
class ProgressRelay : public IProgress {
public:
    explicit ProgressRelay(IDriverHost &host) : m_host(host) {}
    void Step() override;
    void SetPos(int position) override;
    void DeltaPos(int delta) override;

private:
    IDriverHost &m_host;
};

/// Holds the relay ahead of the engine that borrows it.
struct ProgressRelayHolder {
    explicit ProgressRelayHolder(IDriverHost &host) : relay(host) {}
    ProgressRelay relay;
};

/// What stays of a comparison that ran to its end, for its report: the records, the moved
/// sentences among them and the options it ran with.
struct FinishedResult {
    ResultList records;
    MoveTable moves;
    RichOptions options;
};

/// How PadRows evens out the two views' line counts.
enum class PadMode { Pad, Trim };

/// The comparison driver: takes one comparison from the two windows' texts to the result
/// rendered in them, as a state machine of thirteen states (CompareState) with one bounded
/// step per idle call. The engine does states 1 to 8; the driver adds the preparation, the
/// delimiter warning, the display of the result and the clean-up, and keeps the progress
/// dialog's caption, enabling and bar.
///
/// It holds the comparison fields of the application object. No window code: the views and the
/// dialog are reached through IDriverHost and IResultView.
class ComparisonDriver : private ProgressRelayHolder, public Comparison {
public:
    ComparisonDriver(const RichOptions &options, IDriverHost &host);

    // --- Comparison fields (besides the engine's) ----------------------------------------------
    /// Set when the running comparison is to stop; the next step restores the views.
    bool abortRequested = false;
    /// The views of pane 1 and pane 2 taking part; registered in state 0. A view destroyed
    /// during a comparison clears leftView, which stops the display.
    IResultView *leftView = nullptr;
    IResultView *rightView = nullptr;
    RowStarts leftRowStarts{};
    RowStarts rightRowStarts{};
    /// The comparison works on the two selections instead of the whole texts.
    bool selectionMode = false;
    /// The first screen of the result has been realigned: scrolling keys work from now on.
    bool displayScrollable = false;
    /// The user scrolled during display: the views are not scrolled back at the end.
    bool userScrolled = false;
    /// Display progress: records per advance of the bar, and records since the last advance.
    std::int32_t recordsPerStep = 1;
    std::int32_t stepCounter = 1;
    /// The counts of the last comparison that ran to its end; empty while one runs and after
    /// one was aborted.
    std::optional<ResultSummary> summary;
    /// With ViewMove on, from the start of display: the position of each record of a moved
    /// sentence in ResultList, and the position of the record of its other end.
    std::unordered_map<std::int32_t, std::int32_t> movedRecords;

    /// The last comparison that ran to its end, kept until the next one starts; null while one
    /// runs, after an abort and before the first.
    const FinishedResult *LastResult() const { return m_lastResult.get(); }

    /// Whether a comparison runs (compareState 0 to 12).
    bool IsRunning() const { return compareState != CompareState::Idle; }
    int State() const { return static_cast<int>(compareState); }

    /// The compare commands: whole texts, or the two selections when both windows have one.
    /// Does nothing while a comparison runs, without an active document, or when the progress
    /// dialog cannot be made.
    void StartComparison(bool wholeText);

    /// One step of the running comparison (the idle handler's part). Returns whether more
    /// work remains; false once the comparison has finished or when none runs.
    bool Step();
    /// Steps until the comparison has finished (tests and benchmarks).
    void RunToCompletion();

    /// The progress dialog's abort, once the user confirmed it.
    void RequestAbort() { abortRequested = true; }
    /// A view goes away: if a comparison runs and no abort is pending, the display stops and
    /// the comparison ends at the next step.
    void ViewDestroyed(IResultView *view);
    /// The application exits during a comparison: drops the result and the dialog at once.
    void StopForExit();

    /// The delimiter warning a comparison of these texts gets: the string id, or 0 for none.
    int DelimiterWarning(std::string_view left, std::string_view right) const;

    /// Evens out the last region lines of leftView and rightView (nothing with ViewFormat 1).
    /// Pad adds blank lines to the view with fewer; Trim removes the surplus blank lines of the
    /// longer view, and where those lines hold text pads the other view instead, so that
    /// nothing the user compared is ever deleted.
    void PadRows(PadMode mode);
    /// Moves rows so that row i begins on the same line in both views for every recorded row
    /// (nothing with ViewFormat 1). The lower row is pulled up by removing blank lines above it
    /// where they are all blank; otherwise the higher one is pushed down.
    void RealignRows(const RowStarts &left, const RowStarts &right);

private:
    void Finish();
    void Prepare();
    void SetUpDisplay();
    void DisplayStep();
    void ScrollBack();

    IDriverHost &m_host;
    std::unique_ptr<FinishedResult> m_lastResult;
};

/// Bytes from which a text without a delimiter in its first bytes counts as a long one in the
/// warning's wording: comparing it may take a while.
inline constexpr std::size_t kLongTextBytes = 2000;

} // namespace kivo

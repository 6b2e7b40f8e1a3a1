#pragma once

#include "RichEditCtrl.h"
#include "driver/ResultView.h"
#include "platform/framework/RichEditView.h"

#include "resulttext/RecordRenderer.h"
#include "resulttext/ResultMarks.h"
#include "resulttext/TextCapture.h"
#include "resulttext/TextSnapshot.h"
#include "views/DiffNavigator.h"

#include <QPointer>

#include <cstdint>
#include <optional>

#include <vector>

class QKeyEvent;

namespace kivo {

class DiffMap;
struct RichOptions;

/// The text window of one side. An editable rich-text view that, besides ordinary editing:
/// - is locked while a comparison runs (clicks, keys and drops ignored; the scrolling keys work
///   once the first screen of the result is shown);
/// - receives the comparison result and keeps its rows level with the other view's;
/// - passes its vertical scrolling on to the other view while synchronised scrolling is on;
/// - pastes only text and rich text;
/// - re-applies the display colours and font when the settings change.
class CRichView : public RichEditView, public IResultView {
    Q_OBJECT
public:
    /// Takes over the control. The options must outlive the view.
    CRichView(RichEditCtrl *control, RichOptions &options);
    ~CRichView() override;

    void OnInitialUpdate() override;
    void OnUpdate(View *sender, long hint, std::intptr_t objectHint) override;

    /// Passes this view's vertical movement to the other views of its document, when
    /// synchronised scrolling is on and this is the view the user works in.
    void SyncScrollFrom();
    /// The one way a view follows another: when the two show the rows of one result, scrolls
    /// this view so that the leader's top row stands at its top, scrolled into by the same
    /// number of pixels, and notes where both stand as the reference of the next synchronised
    /// scroll. False, with nothing moved or noted, when they do not show one result.
    bool FollowLeader(CRichView &leader);
    /// Notes where the view stands as the reference of its next synchronised scroll.
    void NoteScrollPosition();
    /// Makes the display format the control's default format and, unless told otherwise, the
    /// selection's.
    void ApplyDisplayFormat(bool toSelection = true);
    /// Empties the text (undoably), gives it the display format and retitles the frame
    /// "Untitled1" or "Untitled2".
    void ClearAll();

    /// A comparison runs (its document says so): clicks, most keys and drops are ignored and
    /// the commands that could change the text are disabled.
    void SetComparing(bool comparing) { m_comparing = comparing; }
    bool Comparing() const { return m_comparing; }

    // --- A comparison, in the order the driver calls these ---------------------------------
    /// Locks the view, saves the selection and notes the compared region: the whole text, or
    /// the selection.
    void BeginCapture(bool selection) override;
    bool CaptureMore(std::string &text, int maxChars) override;
    /// Removes the compared region, gives the insertion point the display format and scrolls to
    /// the region's first line.
    void BeginDisplay() override;
    void RenderRecord(const ResultPair &record, const std::string &text, const RecordBreaks &breaks,
                      std::optional<std::int32_t> movedPartner) override;
    void AllowScrolling(bool allow) override { m_scrollKeysWork = allow; }
    bool UserScrolled() const override { return m_userScrolled; }
    /// Scrolls back to the region's first line.
    void ReturnToRegionTop() override;
    /// Restores the selection (after an abort before display) or puts the caret at the first
    /// visible line, and unlocks the view.
    void FinishAfterComparison(bool aborted) override;

    bool HasVerticalScrollBar() const override;
    /// What writes the result into the window: where its rows begin.
    RecordRenderer &Renderer() { return m_renderer; }
    bool PrepareDifferences(std::int64_t units) override
    {
        return m_navigator.CollectRunsStep(units);
    }

    // --- What an open or a comparison replaced ----------------------------------------------
    /// A copy of the window's text as it stands, to keep for undo before it is replaced; null
    /// when memory is short. comparison is the result about to replace it, 0 for an open.
    std::unique_ptr<TextSnapshot> Snapshot(int comparison = 0) const;
    /// Keeps what an open or a comparison replaced: undo brings it back once the edits made
    /// since have been undone. Null forgets what was kept.
    void KeepForUndo(std::unique_ptr<TextSnapshot> replaced);
    /// Puts a kept text into the window in place of its own (undo brings that back when it held
    /// edits), with the kept text's title, as unmodified.
    void OpenSnapshot(const TextSnapshot &kept);
    /// Whether undo has something to take back: an edit, or what an open or comparison replaced.
    bool CanUndo() const;
    /// Undoes the last edit or, when none is left, brings back the text the last open or
    /// comparison replaced (both windows for a comparison). The text it replaces is kept in
    /// turn, so that undo again returns to it and nothing is lost.
    void Undo();

    /// The user's text as UTF-8 with LF line breaks: the window's text without the separators
    /// and padding Kivo inserted into a result, every character kept.
    std::string UsersTextUtf8();

    /// Whether the window is taking a new display format (colours, font) just now.
    bool IsReformatting() const { return m_reformatting; }

    /// The frame's pane number: 1 left, 2 right, 0 without a frame.
    int PaneNumber() const;
    /// The other text view of the document, if there is one.
    CRichView *OtherView() const;

    // --- The result after a comparison -----------------------------------------------------
    /// Forgets the result the text shows (its rows and marks no longer count): a new text.
    void ForgetResult();
    /// The runs of the result as they stand in the text now (cached until the text changes).
    const std::vector<MarkedRun> &Runs() const { return m_navigator.Runs(); }
    /// The record the next (forward) or previous difference command goes to from the caret,
    /// or nullopt when there is none.
    std::optional<int> FindDifference(bool forward) const
    {
        return m_navigator.FindDifference(forward);
    }
    /// Selects the difference a step from the caret reaches, in both windows, and scrolls both
    /// so that its row stands on the same line near the top. False when there is none.
    bool GoToDifference(bool forward) { return m_navigator.GoToDifference(forward); }
    /// The record of the other end of the moved sentence the caret stands in, or nullopt when
    /// the caret is in no moved sentence of the result shown.
    std::optional<int> MovedPartner() const { return m_navigator.MovedPartner(); }
    /// Selects the other end of the moved sentence the caret stands in, in the other window,
    /// scrolls it near the top and makes that window the active one. False when there is none.
    bool GoToMovedPartner() { return m_navigator.GoToMovedPartner(); }
    /// The difference commands of this view.
    DiffNavigator &Navigator() { return m_navigator; }

    /// The result shown: the same number in both windows of a comparison, 0 for none.
    int ResultNumber() const { return m_resultNumber; }
    /// Makes number the result the next comparison writes into this view.
    void BeginResult(int number) { m_resultNumber = number; }
    /// First visible line at the scroll position noted at the last synchronised scroll.
    int LastTopLine() const;

signals:
    /// The text changed by an edit: the user's, an open, a comparison; not the levelling of a
    /// result's rows, nor new colours or another font.
    void textEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    /// A match the find or replace dialog selected: the other window follows.
    void OnMatchShown() override { SyncScrollFrom(); }

private:
    void AddCommands();
    void SetPaneTitle();
    void ReceiveScroll(View *sender, int delta);
    void Reformat(bool fontOnly);
    void OnControlScrolled();
    /// Files dropped on the window: the first is opened into this window.
    void OnDropFiles(const QStringList &paths);
    /// The scrolling keys while a result is being displayed; true when the key was used.
    bool ScrollKeyDuringDisplay(const QKeyEvent &key);
    bool ShowContextMenu(const QPoint &globalPos);
    std::optional<PasteChoice> QueryAcceptData(const QMimeData &data) const;
    bool CanPaste() const;
    /// The text changed, by edit when it is known.
    void OnTextChanged(std::optional<TextEdit> edit);

    /// The selection before the comparison; its start is -1 once display has begun.
    CharRange m_savedSelection{};
    /// The compared region, and the reading of its text.
    CharRange m_region{};
    TextCapture m_capture;
    /// What the last open or comparison replaced, for undo.
    std::unique_ptr<TextSnapshot> m_replaced;
    bool m_reformatting = false;
    /// What the user typed or pasted last, until its marks are made the user's (AdoptTyped).
    TypedText m_typed;
    /// Makes the text typed since the last call the user's own (see AdoptTypedText).
    void AdoptTyped();
    /// Brings back what m_replaced holds, keeping the text it replaces in its place.
    void RestoreReplaced();
    /// The result shown: the same number in both windows of a comparison, 0 for none.
    int m_resultNumber = 0;

    /// Scroll position, in pixels, noted at the last synchronised scroll.
    int m_lastScrollPos = 0;

    /// A comparison runs; the scrolling keys work during its display; the user scrolled since
    /// its display began.
    bool m_comparing = false;
    bool m_scrollKeysWork = false;
    bool m_displaying = false;
    bool m_userScrolled = false;

    RichOptions &m_options;
    DiffNavigator m_navigator;
    RecordRenderer m_renderer;
    /// The map of the differences beside the scroll bar; the control owns it.
    QPointer<DiffMap> m_map;
};

} // namespace kivo

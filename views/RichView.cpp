#include "views/RichView.h"

#include "platform/dialogs/MessageBox.h"
#include "platform/files/Clipboard.h"
#include "platform/files/FileDrop.h"
#include "platform/framework/Document.h"
#include "platform/framework/MdiFrameWnd.h"
#include "platform/framework/UpdateHint.h"
#include "platform/framework/WinApp.h"
#include "resources/Dialogs.h"
#include "resources/ResourceIds.h"
#include "resulttext/ResultMarks.h"
#include "resulttext/RowLeveller.h"
#include "resulttext/RowScroll.h"
#include "views/DiffMap.h"
#include "views/PaneFrame.h"
#include "views/RichDoc.h"
#include "views/ScrollSync.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QResizeEvent>
#include <QScopedValueRollback>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace kivo {
namespace {

using namespace res;

// The font fields a font change applies, so that the result's colours and effects stay.
constexpr std::uint32_t kFontFieldsMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
static_assert(kFontFieldsMask == 0xA8000000);

// Half an inch on every side of a printed page.
constexpr double kPrintMarginTwips = 720;

unsigned RichTextFormat()
{
    static const unsigned format = clipboard::RegisterFormat(QStringLiteral("Rich Text Format"));
    return format;
}

unsigned RichTextAndObjectsFormat()
{
    static const unsigned format =
        clipboard::RegisterFormat(QStringLiteral("RichEdit Text and Objects"));
    return format;
}

/// The first MIME type of a format that the data carries.
QString OfferedMimeType(const QMimeData &data, unsigned format)
{
    for (const QString &type : clipboard::MimeTypesOf(format)) {
        if (data.hasFormat(type))
            return type;
    }
    return {};
}

} // namespace

CRichView::CRichView(RichEditCtrl *control, RichOptions &options)
    : RichEditView(control), m_options(options), m_navigator(*this), m_renderer(*control, options)
{
    // Files dropped on the window: installed first, so that the view's own filter, which
    // refuses drops while a comparison runs, sees them before.
    auto *drop = new FileDrop(control->Widget());
    connect(drop, &FileDrop::filesDropped, this, &CRichView::OnDropFiles);
    control->Widget()->installEventFilter(this);
    // The control's own context menu and mouse handling start in its viewport.
    control->Viewport()->installEventFilter(this);
    control->SetPasteChooser([this](const QMimeData &data) { return QueryAcceptData(data); });
    control->SetInsertionFormatFilter(DropInsertedMark);
    control->SetShortOfMemoryHandler([control] {
        ShowMessageBox(IDS_REASON_NO_MEMORY, MB_OK | MB_ICONEXCLAMATION,
                       control->Widget()->window());
    });
    connect(control, &RichEditCtrl::VScroll, this, &CRichView::OnControlScrolled);
    // The title tells whether the text holds edits made since it was opened, saved or compared.
    connect(control, &RichEditCtrl::ModifiedChanged, this, [this](bool modified) {
        // A comparison writing its result is no edit; its end sets the state.
        if (m_comparing)
            return;
        if (MdiChildWnd *frame = ParentFrame())
            frame->SetModifiedMark(modified);
    });
    connect(control, &RichEditCtrl::TextChanged, this,
            [this](int position, int removed, int added) {
                // What the user types or pastes into a blank line of a result is their own. The
                // document is still finishing the edit here, so the marks change right after.
                RichEditCtrl &edit = *Control();
                if (added > 0 && edit.IsUserEditing() &&
                    m_typed.Note(*edit.Document(), position, position + added))
                    QMetaObject::invokeMethod(this, &CRichView::AdoptTyped, Qt::QueuedConnection);
                OnTextChanged(TextEdit{position, removed, added});
                const auto *document = qobject_cast<const CRichDoc *>(GetDocument());
                const RowLeveller *leveller = document ? document->Leveller() : nullptr;
                if ((!leveller || !leveller->Editing()) && !(document && document->Reformatting()))
                    emit textEdited();
            });
    m_map = new DiffMap(*this, options);
    AddCommands();
}

CRichView::~CRichView() = default;

void CRichView::AddCommands()
{
    OnCommand(ID_EDIT_PASTE, [this] {
        ScrollSync(m_options).Stop();
        Control()->Paste();
    });
    OnCommand(ID_EDIT_CLEAR_ALL, [this] { ClearAll(); });
    OnCommand(ID_EDIT_UNDO, [this] { Undo(); });

    // Every command of the view is disabled while a comparison runs.
    const auto idleAnd = [this](int id, std::function<bool()> rule) {
        OnUpdateCommand(
            id, [this, rule = std::move(rule)](CmdUI &ui) { ui.Enable(!m_comparing && rule()); });
    };
    idleAnd(ID_EDIT_CLEAR_ALL, [this] { return HasText(); });
    idleAnd(ID_EDIT_SELECT_ALL, [this] { return HasText(); });
    idleAnd(ID_EDIT_COPY, [this] { return HasSelection(); });
    idleAnd(ID_EDIT_CUT, [this] { return HasSelection(); });
    idleAnd(ID_EDIT_UNDO, [this] { return !Control()->IsReadOnly() && CanUndo(); });
    idleAnd(ID_EDIT_PASTE, [this] { return CanPaste(); });
    for (const int id : {ID_FILE_SAVE, ID_FILE_PRINT, ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW})
        idleAnd(id, [this] { return HasText(); });
    idleAnd(ID_EDIT_FIND, [this] { return HasText(); });
    idleAnd(ID_EDIT_REPLACE, [this] { return HasText(); });
    idleAnd(ID_EDIT_REPEAT, [this] { return HasText() && HasSearchText(); });

    OnCommand(ID_NEXT_DIFFERENCE, [this] { GoToDifference(true); });
    OnCommand(ID_PREV_DIFFERENCE, [this] { GoToDifference(false); });
    OnCommand(ID_GO_TO_MOVED, [this] { GoToMovedPartner(); });
    idleAnd(ID_GO_TO_MOVED, [this] { return MovedPartner().has_value(); });
    idleAnd(ID_NEXT_DIFFERENCE, [this] { return FindDifference(true).has_value(); });
    idleAnd(ID_PREV_DIFFERENCE, [this] { return FindDifference(false).has_value(); });
}

void CRichView::OnInitialUpdate()
{
    RichEditView::OnInitialUpdate();
    SetPrintMargins(
        QMarginsF(kPrintMarginTwips, kPrintMarginTwips, kPrintMarginTwips, kPrintMarginTwips));
    m_lastScrollPos = 0;
    ApplyDisplayFormat();
    SetPaneTitle();
    if (const auto *document = qobject_cast<const CRichDoc *>(GetDocument()))
        m_comparing = document->Comparing();
}

int CRichView::PaneNumber() const
{
    const auto *frame = qobject_cast<const PaneFrame *>(ParentFrame());
    return frame ? frame->paneNumber : 0;
}

void CRichView::SetPaneTitle()
{
    MdiChildWnd *frame = ParentFrame();
    if (!frame)
        return;
    if (PaneNumber() == 1)
        frame->SetTitle(QString::fromUtf8(res::kUntitledLeft));
    else if (PaneNumber() == 2)
        frame->SetTitle(QString::fromUtf8(res::kUntitledRight));
}

void CRichView::ClearAll()
{
    RichEditCtrl &edit = *Control();
    // An ordinary deletion, so that undo brings the text back.
    edit.SelectAll();
    edit.TextCursor().removeSelectedText();
    ForgetResult();
    SetInsertionMark(edit, std::nullopt);
    ApplyDisplayFormat();
    edit.SetModify(false);
    SetPaneTitle();
}

void CRichView::ApplyDisplayFormat(bool toSelection)
{
    RichEditCtrl &edit = *Control();
    edit.SetCharFormat(m_options.CharFormat, FormatScope::Default);
    if (toSelection)
        edit.SetCharFormat(m_options.CharFormat, FormatScope::Selection);
}

// --- Updates and synchronised scrolling --------------------------------------------------------

void CRichView::OnUpdate(View *sender, long hint, std::intptr_t objectHint)
{
    RichEditCtrl &edit = *Control();
    const auto kind = static_cast<UpdateHint>(hint);
    // New colours or another font are no edits of the text.
    const bool modified = edit.GetModify();
    bool reformat = false;
    bool toSelection = true;
    switch (kind) {
    case UpdateHint::NoteTopLine:
        NoteScrollPosition();
        return;
    case UpdateHint::ScrollBy:
        ReceiveScroll(sender, static_cast<int>(objectHint));
        return;
    case UpdateHint::ColorsChanged:
        reformat = true;
        break;
    case UpdateHint::FontChanged:
        // Selected text keeps the colours and effects of a result like all other text: only an
        // insertion point takes the whole display format.
        toSelection = !edit.TextCursor().hasSelection();
        reformat = true;
        break;
    case UpdateHint::Refresh:
        break;
    }
    edit.SetBackgroundColor(m_options.Color[Background]);
    if (reformat) {
        // The text wraps anew: the row at the top stays there.
        const QScopedValueRollback reformatting(m_reformatting, true);
        edit.KeepTopThrough([&] {
            ApplyDisplayFormat(toSelection);
            edit.SetCharFormat(m_options.CharFormat, FormatScope::Default);
            Reformat(kind == UpdateHint::FontChanged);
        });
        // Another font or effect wraps the lines anew.
        if (auto *document = qobject_cast<CRichDoc *>(GetDocument()))
            document->ScheduleLevelling();
    } else {
        edit.SetCharFormat(m_options.CharFormat, FormatScope::Default);
        View::OnUpdate(sender, hint, objectHint);
    }
    edit.SetModify(modified);
}

void CRichView::Reformat(bool fontOnly)
{
    RichEditCtrl &edit = *Control();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CharRange selection = edit.GetSel();
    const bool wasReadOnly = edit.IsReadOnly();
    edit.SetReadOnly(true);
    edit.HideSelection(true);
    edit.SetSel(0, -1);
    CharFormat format = m_options.CharFormat;
    if (fontOnly)
        format.dwMask = kFontFieldsMask;
    edit.SetCharFormat(format, FormatScope::Selection);
    edit.SetSel(selection.start, selection.end);
    // A view locked by a comparison stays locked.
    const bool locked = wasReadOnly && m_comparing;
    edit.HideSelection(locked);
    edit.SetReadOnly(locked);
    QApplication::restoreOverrideCursor();
}

void CRichView::SyncScrollFrom()
{
    if (!ScrollSync(m_options).IsOn())
        return;
    // Whichever window the user scrolls drives the others. They follow by calls that their
    // controls do not report as scrolling, so nothing echoes back.
    const int old = m_lastScrollPos;
    NoteScrollPosition();
    if (Document *document = GetDocument())
        document->UpdateAllViews(this, static_cast<long>(UpdateHint::ScrollBy),
                                 m_lastScrollPos - old);
}

void CRichView::NoteScrollPosition()
{
    m_lastScrollPos = Control()->GetScrollPos();
}

int CRichView::LastTopLine() const
{
    // As GetFirstVisibleLine counts: a line from its second pixel row on.
    return Control()->LineFromY(m_lastScrollPos + 1);
}

void CRichView::ReceiveScroll(View *sender, int delta)
{
    if (sender == this)
        return;
    // Two windows of one result keep the same row at the top, scrolled into by the same number
    // of pixels; other texts move by the same number of pixels, each stopping at its ends.
    auto *leader = qobject_cast<CRichView *>(sender);
    if (!leader || !FollowLeader(*leader)) {
        RichEditCtrl &edit = *Control();
        edit.SetScrollPos(std::max(0, edit.GetScrollPos() + delta));
        NoteScrollPosition();
    }
}

bool CRichView::FollowLeader(CRichView &leader)
{
    if (m_resultNumber == 0 || leader.m_resultNumber != m_resultNumber)
        return false;
    const RichEditCtrl &there = *leader.Control();
    const std::optional<RowPosition> top = TopRow(there);
    if (!top)
        return false;
    const std::optional<int> y =
        ScrollPosOfRow(*Control(), *top, there.GetScrollPos() - top->offset);
    if (!y)
        return false;
    Control()->SetScrollPos(*y);
    NoteScrollPosition();
    leader.NoteScrollPosition();
    return true;
}

void CRichView::OnControlScrolled()
{
    m_userScrolled = m_userScrolled || m_displaying;
    SyncScrollFrom();
}

// --- Input --------------------------------------------------------------------------------------

bool CRichView::eventFilter(QObject *watched, QEvent *event)
{
    RichEditCtrl *edit = Control();
    if (edit == nullptr)
        return RichEditView::eventFilter(watched, event);
    const bool inViewport = watched == edit->Viewport();
    const bool locked = m_comparing;
    switch (event->type()) {
    case QEvent::Resize:
        // The text wraps at the viewport's width: another width, other rows.
        if (inViewport) {
            const auto *resize = static_cast<QResizeEvent *>(event);
            auto *document = qobject_cast<CRichDoc *>(GetDocument());
            if (document && resize->oldSize().width() != resize->size().width())
                document->ScheduleLevelling();
        }
        break;
    case QEvent::ContextMenu:
        if (inViewport)
            return ShowContextMenu(static_cast<QContextMenuEvent *>(event)->globalPos());
        break;
    case QEvent::KeyPress:
        if (watched == edit->Widget() && locked) {
            ScrollKeyDuringDisplay(*static_cast<QKeyEvent *>(event));
            return true; // every other key waits for the end of the comparison
        }
        // Undo goes on past the control's own history, to what an open or comparison replaced.
        if (watched == edit->Widget() &&
            static_cast<QKeyEvent *>(event)->matches(QKeySequence::Undo) && !edit->CanUndo() &&
            m_replaced && !edit->IsReadOnly()) {
            Undo();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        // The right button still opens the context menu, whose commands are disabled then.
        if (inViewport && locked &&
            !(event->type() == QEvent::MouseButtonPress &&
              static_cast<QMouseEvent *>(event)->button() == Qt::RightButton))
            return true;
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        if (inViewport && locked) {
            event->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return RichEditView::eventFilter(watched, event);
}

bool CRichView::ScrollKeyDuringDisplay(const QKeyEvent &key)
{
    if (!m_scrollKeysWork)
        return false;
    RichEditCtrl &edit = *Control();
    const int first = edit.GetFirstVisibleLine();
    if (key.modifiers() & Qt::ControlModifier) {
        switch (key.key()) {
        case Qt::Key_End:
            edit.LineScroll(edit.GetLineCount() - 1 - first);
            break;
        case Qt::Key_Home:
            edit.LineScroll(-first);
            break;
        default:
            return false;
        }
    } else {
        switch (key.key()) {
        case Qt::Key_PageUp:
            edit.Scroll(ScrollCommand::PageUp);
            break;
        case Qt::Key_PageDown:
            edit.Scroll(ScrollCommand::PageDown);
            break;
        case Qt::Key_Up:
            edit.LineScroll(-1);
            break;
        case Qt::Key_Down:
            edit.LineScroll(1);
            break;
        default:
            return false;
        }
    }
    m_userScrolled = true;
    // The control does not report scrolling it was asked for; the other view follows here.
    SyncScrollFrom();
    return true;
}

bool CRichView::ShowContextMenu(const QPoint &globalPos)
{
    MdiFrameWnd *main = WinApp::MainWindow();
    if (!main)
        return false;
    main->ActivateChild(ParentFrame());
    main->TrackPopupMenu(IDR_CONTEXT, globalPos);
    return true;
}

void CRichView::OnDropFiles(const QStringList &paths)
{
    if (m_comparing || paths.isEmpty())
        return;
    auto *document = qobject_cast<CRichDoc *>(GetDocument());
    if (!document)
        return;
    MdiFrameWnd *main = WinApp::MainWindow();
    if (main && main->ActiveChild() != ParentFrame())
        main->ActivateChild(ParentFrame());
    // Only the first file of a drop is opened.
    if (document->OpenIntoActiveView(paths.front()))
        ScrollSync(m_options).Stop();
}

// --- Pasting ------------------------------------------------------------------------------------

std::optional<PasteChoice> CRichView::QueryAcceptData(const QMimeData &data) const
{
    if (const QString type = OfferedMimeType(data, RichTextAndObjectsFormat()); !type.isEmpty())
        return PasteChoice{PasteFormat::RichText, type};
    if (const QString type = OfferedMimeType(data, RichTextFormat()); !type.isEmpty())
        return PasteChoice{PasteFormat::RichText, type};
    if (data.hasText())
        return PasteChoice{PasteFormat::Text, {}};
    // Pictures and embedded objects alone are never pasted.
    return std::nullopt;
}

bool CRichView::CanPaste() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    const bool picture = clipboard::HasFormat(data, clipboard::CF_METAFILEPICT) ||
                         clipboard::HasFormat(data, clipboard::CF_DIB) ||
                         clipboard::HasFormat(data, clipboard::CF_BITMAP);
    if (picture)
        return clipboard::HasFormat(data, RichTextFormat());
    return QueryAcceptData(*data).has_value();
}

// --- A comparison -------------------------------------------------------------------------------

void CRichView::BeginCapture(bool selection)
{
    AdoptTyped();
    RichEditCtrl &edit = *Control();
    edit.SetReadOnly(true);
    edit.HideSelection(true);
    m_savedSelection = edit.GetSel();
    // The whole text is read without being selected: selecting it would make the control
    // measure the paragraph the caret lands in, however long. Display removes the region itself.
    m_region = selection ? m_savedSelection : CharRange{0, edit.GetTextLength()};
    m_capture.Begin(*edit.Document(), m_region);
    m_navigator.ForgetMovedPartners();
    // A comparison of selections leaves the text around them, and with it the marks of an
    // earlier result; the result number tells them apart. Rows count only in the new result.
    ForgetRows(*edit.Document());
    m_renderer.Begin(m_region, selection);
}

bool CRichView::CaptureMore(std::string &text, int maxChars)
{
    return m_capture.ReadMore(text, maxChars);
}

void CRichView::BeginDisplay()
{
    RichEditCtrl &edit = *Control();
    // The texts as they were stay one undo step away from the result, unless copying them would
    // freeze the windows.
    KeepForUndo(edit.Document()->characterCount() <= kMostCharactersKeptForUndo
                    ? Snapshot(m_resultNumber)
                    : nullptr);
    // The result replaces the region and begins in the display format.
    m_renderer.ClearRegion(m_region);
    edit.SetSel(m_region.start, m_region.start);
    edit.SetCharFormat(m_options.CharFormat, FormatScope::Selection);
    const int first = edit.GetFirstVisibleLine();
    if (first != m_renderer.FirstLine()) {
        ScrollSync(m_options).Stop();
        edit.LineScroll(m_renderer.FirstLine() - first);
    }
    m_savedSelection.start = -1;
    m_displaying = true;
    m_userScrolled = false;
}

void CRichView::RenderRecord(const ResultPair &record, const std::string &text,
                             const RecordBreaks &breaks, std::optional<std::int32_t> movedPartner)
{
    const int number =
        m_renderer.Render(record, text, breaks, movedPartner.has_value(), m_resultNumber);
    if (movedPartner)
        m_navigator.NoteMovedPartner(number, *movedPartner);
}

void CRichView::ReturnToRegionTop()
{
    RichEditCtrl &edit = *Control();
    const int first = edit.GetFirstVisibleLine();
    if (first != m_renderer.FirstLine())
        edit.LineScroll(m_renderer.FirstLine() - first);
}

void CRichView::FinishAfterComparison(bool aborted)
{
    m_displaying = false;
    m_scrollKeysWork = false;
    RichEditCtrl &edit = *Control();
    if (aborted && m_savedSelection.start >= 0) {
        // A whole text was compared without being selected: its selection is still the one
        // saved, and setting it again would only measure the paragraph of the caret.
        if (edit.GetSel() != m_savedSelection)
            edit.SetSel(m_savedSelection.start, m_savedSelection.end);
    } else {
        const int caret = edit.LineIndex(edit.GetFirstVisibleLine());
        edit.SetSel(caret, caret);
        // The window holds a result now: what is compared counts as unchanged.
        edit.SetModify(false);
    }
    if (MdiChildWnd *frame = ParentFrame())
        frame->SetModifiedMark(edit.GetModify());
    edit.HideSelection(false);
    edit.SetReadOnly(false);
}

bool CRichView::HasVerticalScrollBar() const
{
    return Control()->HasVerticalScrollBar();
}

void CRichView::AdoptTyped()
{
    m_typed.Adopt(*Control()->Document());
}

// --- What an open or a comparison replaced ------------------------------------------------------

std::unique_ptr<TextSnapshot> CRichView::Snapshot(int comparison) const
{
    const MdiChildWnd *frame = ParentFrame();
    return TakeSnapshot(*Control(), frame ? frame->Title() : QString(), comparison);
}

void CRichView::KeepForUndo(std::unique_ptr<TextSnapshot> replaced)
{
    m_replaced = std::move(replaced);
}

void CRichView::OpenSnapshot(const TextSnapshot &kept)
{
    RichEditCtrl &edit = *Control();
    std::unique_ptr<TextSnapshot> replaced = edit.GetModify() ? Snapshot() : nullptr;
    RestoreSnapshot(edit, kept);
    ForgetResult();
    KeepForUndo(std::move(replaced));
    edit.SetModify(false);
    if (MdiChildWnd *frame = ParentFrame()) {
        if (!kept.title.isEmpty())
            frame->SetTitle(kept.title);
        frame->SetModifiedMark(false);
    }
}

bool CRichView::CanUndo() const
{
    return Control()->CanUndo() || m_replaced != nullptr;
}

void CRichView::Undo()
{
    if (Control()->CanUndo() || !m_replaced) {
        Control()->Undo();
        return;
    }
    const int comparison = m_replaced->comparison;
    RestoreReplaced();
    // A comparison replaced both windows: the other goes back too, unless it holds edits of
    // its own since, which its own undo takes back first.
    CRichView *other = OtherView();
    if (comparison != 0 && other && other->m_replaced &&
        other->m_replaced->comparison == comparison && !other->Control()->CanUndo())
        other->RestoreReplaced();
}

void CRichView::RestoreReplaced()
{
    RichEditCtrl &edit = *Control();
    std::unique_ptr<TextSnapshot> current = Snapshot(m_replaced->comparison);
    const std::unique_ptr<TextSnapshot> replaced = std::move(m_replaced);
    RestoreSnapshot(edit, *replaced);
    ForgetResult();
    ScrollSync(m_options).Stop();
    if (MdiChildWnd *frame = ParentFrame()) {
        if (!replaced->title.isEmpty())
            frame->SetTitle(replaced->title);
        frame->SetModifiedMark(edit.GetModify());
    }
    m_replaced = std::move(current);
}

// --- The result after a comparison -------------------------------------------------------------

std::string CRichView::UsersTextUtf8()
{
    AdoptTyped();
    const RichEditCtrl &edit = *Control();
    QString text = TextCapture::ReadAll(*edit.Document(), CharRange{0, edit.GetTextLength()});
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    // Pictures have no place in plain text.
    text.remove(QChar::ObjectReplacementCharacter);
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

CRichView *CRichView::OtherView() const
{
    const auto *document = qobject_cast<const CRichDoc *>(GetDocument());
    if (!document)
        return nullptr;
    for (CRichView *view : document->RichViews()) {
        if (view != this)
            return view;
    }
    return nullptr;
}

void CRichView::ForgetResult()
{
    m_resultNumber = 0;
    ForgetRows(*Control()->Document());
    OnTextChanged(std::nullopt);
}

void CRichView::OnTextChanged(std::optional<TextEdit> edit)
{
    m_navigator.TextChanged(edit);
    if (m_map)
        m_map->TextEdited(edit);
}

} // namespace kivo

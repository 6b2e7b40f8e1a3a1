#include "platform/framework/RichEditView.h"

#include "RichEditCtrl.h"
#include "platform/dialogs/FindReplaceDlg.h"
#include "platform/dialogs/MessageBox.h"
#include "platform/dialogs/Printing.h"
#include "platform/framework/MdiFrameWnd.h"
#include "platform/framework/WinApp.h"
#include "resources/Dialogs.h"
#include "resources/ResourceIds.h"

#include <QApplication>
#include <QTextCursor>

namespace kivo {
namespace {

FindReplaceState *SharedFindState()
{
    WinApp *app = WinApp::Current();
    return app ? &app->FindState() : nullptr;
}

/// The view the open find dialog works on: the active text window, else the one that opened it.
RichEditView *SearchTarget(RichEditView *opener)
{
    WinApp *app = WinApp::Current();
    MdiFrameWnd *main = app ? app->MainWnd() : nullptr;
    if (auto *active = main ? qobject_cast<RichEditView *>(main->ActiveView()) : nullptr)
        return active;
    return opener;
}

} // namespace

RichEditView::RichEditView(RichEditCtrl *control) : View(control->Widget()), m_control(control)
{
    using namespace res;
    OnCommand(ID_EDIT_UNDO, [this] { m_control->Undo(); });
    OnCommand(ID_EDIT_CUT, [this] { m_control->Cut(); });
    OnCommand(ID_EDIT_COPY, [this] { m_control->Copy(); });
    OnCommand(ID_EDIT_PASTE, [this] { m_control->Paste(); });
    OnCommand(ID_EDIT_SELECT_ALL, [this] { m_control->SelectAll(); });
    OnCommand(ID_FILE_PRINT, [this] { Print(true); });
    OnCommand(ID_FILE_PRINT_DIRECT, [this] { Print(false); });
    OnCommand(ID_FILE_PRINT_PREVIEW, [this] { PrintPreview(); });

    OnUpdateCommand(ID_EDIT_UNDO, [this](CmdUI &ui) {
        ui.Enable(!m_control->IsReadOnly() && m_control->CanUndo());
    });
    OnUpdateCommand(ID_EDIT_CUT,
                    [this](CmdUI &ui) { ui.Enable(!m_control->IsReadOnly() && HasSelection()); });
    OnUpdateCommand(ID_EDIT_COPY, [this](CmdUI &ui) { ui.Enable(HasSelection()); });
    OnUpdateCommand(ID_EDIT_PASTE, [this](CmdUI &ui) {
        ui.Enable(!m_control->IsReadOnly() && m_control->CanPaste());
    });
    OnUpdateCommand(ID_EDIT_SELECT_ALL, [this](CmdUI &ui) { ui.Enable(HasText()); });

    OnCommand(ID_EDIT_FIND, [this] { OnEditFindReplace(false); });
    OnCommand(ID_EDIT_REPLACE, [this] { OnEditFindReplace(true); });
    OnCommand(ID_EDIT_REPEAT, [this] { FindNext(); });
    OnUpdateCommand(ID_EDIT_FIND, [this](CmdUI &ui) { ui.Enable(HasText()); });
    OnUpdateCommand(ID_EDIT_REPLACE,
                    [this](CmdUI &ui) { ui.Enable(!m_control->IsReadOnly() && HasText()); });
    OnUpdateCommand(ID_EDIT_REPEAT, [this](CmdUI &ui) { ui.Enable(HasText() && HasSearchText()); });
}

RichEditCtrl *RichEditView::Control() const
{
    return m_control.data();
}

bool RichEditView::HasText() const
{
    return m_control->GetTextLength() > 0;
}

bool RichEditView::HasSelection() const
{
    return m_control->TextCursor().hasSelection();
}

bool RichEditView::Print(bool withDialog)
{
    WinApp *app = WinApp::Current();
    if (!app)
        return false;
    return app->Printing().Print(*m_control->Document(), m_printMargins, withDialog,
                                 m_control->Widget()->window());
}

void RichEditView::PrintPreview()
{
    if (WinApp *app = WinApp::Current())
        app->Printing().Preview(*m_control->Document(), m_printMargins,
                                m_control->Widget()->window());
}

bool RichEditView::HasSearchText() const
{
    const FindReplaceState *state = SharedFindState();
    return state && !state->findWhat.isEmpty();
}

bool RichEditView::Allows(int id) const
{
    CmdUI ui;
    ui.id = id;
    RunUpdate(id, ui);
    return ui.enabled;
}

void RichEditView::OnEditFindReplace(bool replace)
{
    FindReplaceState *state = SharedFindState();
    if (!state)
        return;
    const auto mode = replace ? FindReplaceDlg::Mode::Replace : FindReplaceDlg::Mode::Find;
    // One dialog at a time: the other kind gives way.
    if (state->dialog && state->dialog->GetMode() != mode)
        delete state->dialog.data();
    if (!state->dialog) {
        auto *dialog = new FindReplaceDlg(mode, m_control->Widget()->window());
        dialog->SetReplaceWith(state->replaceWith);
        QPointer<RichEditView> opener(this);
        const auto target = [opener]() { return SearchTarget(opener.data()); };
        connect(dialog, &FindReplaceDlg::findNext, dialog, [target] {
            if (RichEditView *view = target()) {
                view->TakeDialogInput();
                view->FindNext();
            }
        });
        connect(dialog, &FindReplaceDlg::replaceCurrent, dialog, [target] {
            if (RichEditView *view = target()) {
                view->TakeDialogInput();
                view->ReplaceCurrent();
            }
        });
        connect(dialog, &FindReplaceDlg::replaceAll, dialog, [target] {
            if (RichEditView *view = target()) {
                view->TakeDialogInput();
                view->ReplaceAllText();
            }
        });
        state->dialog = dialog;
    }
    // The selection is the text to find when it lies within one line.
    const QString selected = m_control->TextCursor().selectedText();
    const bool oneLine = !selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator) &&
                         !selected.contains(QChar::LineSeparator);
    state->dialog->SetFindWhat(oneLine ? selected : state->findWhat);
    state->dialog->SetOptions(state->options);
    state->dialog->show();
    state->dialog->raise();
    state->dialog->activateWindow();
}

void RichEditView::TakeDialogInput()
{
    FindReplaceState *state = SharedFindState();
    if (!state || !state->dialog)
        return;
    state->findWhat = state->dialog->FindWhat();
    state->replaceWith = state->dialog->ReplaceWith();
    state->options = state->dialog->Options();
}

bool RichEditView::FindNext()
{
    const FindReplaceState *state = SharedFindState();
    if (!state || state->findWhat.isEmpty() || !Allows(res::ID_EDIT_FIND)) {
        QApplication::beep();
        return false;
    }
    FindOptions options = state->options;
    // The replace dialog has no direction: it always searches down.
    if (state->dialog && state->dialog->GetMode() == FindReplaceDlg::Mode::Replace)
        options.down = true;
    const CharRange selection = m_control->GetSel();
    const int from = options.down ? selection.end : selection.start;
    CharRange match = m_control->FindText(state->findWhat, from, options);
    if (match.start < 0) // once round the end of the text
        match = m_control->FindText(state->findWhat, options.down ? 0 : m_control->GetTextLength(),
                                    options);
    if (match.start < 0) {
        ReportNotFound(state->findWhat);
        return false;
    }
    m_control->SetSel(match.start, match.end);
    OnMatchShown();
    if (state->dialog && state->dialog->isVisible()) {
        const QRect caret = m_control->CaretRect();
        state->dialog->KeepClearOf(
            QRect(m_control->Viewport()->mapToGlobal(caret.topLeft()), caret.size()));
    }
    return true;
}

bool RichEditView::ReplaceCurrent()
{
    const FindReplaceState *state = SharedFindState();
    if (!state || state->findWhat.isEmpty() || m_control->IsReadOnly() ||
        !Allows(res::ID_EDIT_REPLACE)) {
        QApplication::beep();
        return false;
    }
    FindOptions options = state->options;
    options.down = true;
    const CharRange selection = m_control->GetSel();
    const CharRange match = m_control->FindText(state->findWhat, selection.start, options);
    if (selection.start != selection.end && match == selection)
        m_control->ReplaceSelText(state->replaceWith);
    return FindNext();
}

int RichEditView::ReplaceAllText()
{
    const FindReplaceState *state = SharedFindState();
    if (!state || state->findWhat.isEmpty() || m_control->IsReadOnly() ||
        !Allows(res::ID_EDIT_REPLACE)) {
        QApplication::beep();
        return 0;
    }
    const int count = m_control->ReplaceAll(state->findWhat, state->replaceWith, state->options);
    if (count == 0)
        ReportNotFound(state->findWhat);
    return count;
}

void RichEditView::ReportNotFound(const QString &what)
{
    const FindReplaceState *state = SharedFindState();
    QWidget *parent = state && state->dialog && state->dialog->isVisible()
                          ? static_cast<QWidget *>(state->dialog.data())
                          : m_control->Widget()->window();
    ShowMessageBox(QString::fromUtf8(res::kFindNotFound).arg(what), MB_OK | MB_ICONINFORMATION,
                   parent);
}

} // namespace kivo
